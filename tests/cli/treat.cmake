# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli treat as a user runs it: the committed examples, then failing files.
# -DCLI=teravine-cli -DSOURCE=<source folder> [-DMAKE_EXAMPLES=ON]

# Runs the command; checks the exit status and that stderr contains the expected text.
function(expect_run expected_status expected_err)
  run(${expected_status} ${ARGN})
  if(NOT "${expected_err}" STREQUAL "")
    string(FIND "${last_err}" "${expected_err}" at)
    if(at EQUAL -1)
      fail("${ARGN}: stderr\n[${last_err}]\ndoes not contain\n[${expected_err}]")
    endif()
  endif()
endfunction()

function(expect_same_bytes got want)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${got}" "${want}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    file(READ "${got}" got_text)
    fail("${got} differs from ${want}:\n${got_text}")
  endif()
endfunction()

# file(READ) drops CR bytes, so the comparisons go through hexadecimal text.
function(expect_text path want)
  file(READ "${path}" got_hex HEX)
  string(HEX "${want}" want_hex)
  if(NOT got_hex STREQUAL want_hex)
    file(READ "${path}" got)
    fail("${path} holds\n[${got}]\n${got_hex}\nexpected\n[${want}]\n${want_hex}")
  endif()
endfunction()

# The examples: exactly the committed results.
set(examples "${SOURCE}/examples")
expect_run(0 "" treat "${examples}/samples.IW" -o "${work}/samples.IWO")
expect_same_bytes("${work}/samples.IWO" "${examples}/samples.IWO")
expect_run(0 "" treat "${examples}/samples.IW" -o "${work}/samples-table.IWO" --rule table
           --table "${examples}/instrument.cor")
expect_same_bytes("${work}/samples-table.IWO" "${examples}/samples-table.IWO")

# The committed examples are what the generator makes today.
if(MAKE_EXAMPLES)
  execute_process(COMMAND bash "${SOURCE}/scripts/make-examples" ${CLI} "${work}/made"
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    fail("make-examples failed: ${err}")
  endif()
  foreach(name samples.IW instrument.cor samples.IWO samples-table.IWO)
    expect_same_bytes("${work}/made/${name}" "${examples}/${name}")
  endforeach()
endif()

# The worked example, every rule name, and R1.
file(WRITE "${work}/worked.IW" "Worked${crlf}1${crlf}0${crlf}0.5,0.4${crlf}")
expect_run(0 "" treat "${work}/worked.IW" -o "${work}/worked.IWO")
set(header_tail "IW_AD${tab}IW_EG${tab}N${tab}S${tab}k${tab}Nfd${crlf}")
expect_text("${work}/worked.IWO"
            "Worked${crlf}Reichweite:${tab}R0${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Lorentz Gauss geometric mean${crlf}${header_tail} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}")
expect_run(0 "" treat "${work}/worked.IW" -o "${work}/gauss.IWO" --rule gauss -r R1)
expect_text("${work}/gauss.IWO"
            "Worked${crlf}Reichweite:${tab}R1${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Gauss${crlf}${header_tail} .5${tab} .4${tab} 22${tab} 4.16${tab}0.92${tab} 11${crlf}")

# Failures: the description on stderr, status 1, what was written stays.
expect_run(1 "cannot be opened: No such file or directory." treat "${work}/none.IW"
           -o "${work}/none.IWO")
if(EXISTS "${work}/none.IWO")
  fail("a result file was made for an input that cannot be opened")
endif()
file(WRITE "${work}/short.IW" "Short${crlf}3${crlf}0${crlf}0.5,0.4${crlf}")
expect_run(1 "The file ends after 1 of 3 samples." treat "${work}/short.IW"
           -o "${work}/short.IWO")
if(EXISTS "${work}/short.IWO")
  fail("a result file was made for an input that cannot be read")
endif()
file(WRITE "${work}/negative.IW" "Negative${crlf}-4${crlf}0${crlf}")
expect_run(1 "the sample count \"-4\" is negative" treat "${work}/negative.IW"
           -o "${work}/negative.IWO")
file(WRITE "${work}/tiny.IW"
     "Tiny${crlf}3${crlf}0${crlf}0.5,0.4${crlf}0.000001,0.0000009${crlf}0.6,0.45${crlf}")
expect_run(1 "Sample 2 of the file: Arithmetic failure: N cannot be computed." treat
           "${work}/tiny.IW" -o "${work}/tiny.IWO")
expect_text("${work}/tiny.IWO"
            "Tiny${crlf}Reichweite:${tab}R0${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Lorentz Gauss geometric mean${crlf}${header_tail} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}")
expect_run(1 "cannot be created" treat "${work}/worked.IW" -o "${work}/no/such/folder.IWO")

# The correction table: needed by --rule table, read as the option "File table" reads it.
expect_run(1 "--rule table needs --table" treat "${work}/worked.IW" -o "${work}/t.IWO"
           --rule table)
expect_run(1 "--table FILE.cor goes with --rule table" treat "${work}/worked.IW"
           -o "${work}/t.IWO" --table "${examples}/instrument.cor")
file(WRITE "${work}/title-only.cor" "Title only${crlf}")
expect_run(1 "The file ends before the step of the corrected widths." treat "${work}/worked.IW"
           -o "${work}/t.IWO" --rule table --table "${work}/title-only.cor")
if(EXISTS "${work}/t.IWO")
  fail("a result file was made although the correction table could not be read")
endif()
expect_run(1 "" treat "${work}/worked.IW" -o "${work}/t.IWO" --rule median)
expect_run(1 "" treat "${work}/worked.IW")

