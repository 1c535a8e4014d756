# SPDX-License-Identifier: GPL-3.0-or-later
# The one driver of the CLI test scripts: cmake -DCLI=<teravine-cli> -DCASE=<script>
# [-D...] -P driver.cmake. It makes a scratch folder `work` under $TMPDIR (or /tmp),
# defines tab, cr, crlf, fail() and run(), runs the script and removes the folder.
if(DEFINED ENV{TMPDIR})
  set(tmp_root "$ENV{TMPDIR}")
else()
  set(tmp_root "/tmp")
endif()
string(RANDOM LENGTH 12 suffix)
set(work "${tmp_root}/teravine-cli-${CASE}-${suffix}")
file(MAKE_DIRECTORY "${work}")
string(ASCII 9 tab)
string(ASCII 13 cr)
set(crlf "${cr}\n")

function(fail text)
  file(REMOVE_RECURSE "${work}")
  message(FATAL_ERROR "${text}")
endfunction()

# Runs teravine-cli with the arguments in the scratch folder and checks its exit status;
# leaves what it printed in last_out and last_err.
function(run expected_status)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err WORKING_DIRECTORY ${work})
  if(NOT status EQUAL expected_status)
    fail("${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
  set(last_err "${err}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/${CASE}.cmake)
file(REMOVE_RECURSE "${work}")
