# What the CLI test scripts share: a scratch folder `work` under $TMPDIR (or /tmp), the
# characters tab, cr and crlf, and fail(), which removes the folder before it stops.
# Include it with the folder's prefix set in `scratch_name`.
if(DEFINED ENV{TMPDIR})
  set(tmp_root "$ENV{TMPDIR}")
else()
  set(tmp_root "/tmp")
endif()
string(RANDOM LENGTH 12 suffix)
set(work "${tmp_root}/${scratch_name}-${suffix}")
file(MAKE_DIRECTORY "${work}")
string(ASCII 9 tab)
string(ASCII 13 cr)
set(crlf "${cr}\n")

function(fail text)
  file(REMOVE_RECURSE "${work}")
  message(FATAL_ERROR "${text}")
endfunction()
