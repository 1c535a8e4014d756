# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli treat on files that are not what they should be: each prints its message
# on stderr, exits with status 1 and makes no result file.
# -DCLI=teravine-cli

# Treats <name>.IW (with the extra arguments) and expects status 1, exactly the message
# on stderr, and no result file.
function(expect_refused name message)
  set(out "${work}/${name}.IWO")
  run(1 treat "${work}/${name}.IW" -o "${out}" ${ARGN})
  if(NOT last_err STREQUAL "${message}\n")
    fail("${name}: stderr\n[${last_err}]\nexpected\n[${message}\n]")
  endif()
  if(EXISTS "${out}")
    fail("${name}: a result file was made")
  endif()
endfunction()

function(write_iw name content)
  file(WRITE "${work}/${name}.IW" "${content}")
endfunction()

# Bytes CMake strings cannot hold (NUL) come from printf.
function(write_iw_printf name format)
  execute_process(COMMAND printf "${format}" OUTPUT_FILE "${work}/${name}.IW"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("printf could not write ${name}.IW")
  endif()
endfunction()

set(utf16_text "The file is UTF-16 text (it starts with a UTF-16 byte-order mark); save it as plain text (ANSI or UTF-8) and try again.")
set(nul_text "The file holds NUL bytes, so it is not plain text (it may be UTF-16 text or a binary file); save it as plain text (ANSI or UTF-8) and try again.")

write_iw(empty "")
expect_refused(empty "The file is empty: it has not even a title line.")
write_iw(title-only "Samples of May${crlf}")
expect_refused(title-only "The file ends before the sample count.")
write_iw_printf(binary "\\x7FELF\\x02\\x01\\x01\\x00\\x00\\x00")
expect_refused(binary "${nul_text}")
write_iw(minus-one "T${crlf}-1${crlf}0${crlf}0.5,0.4${crlf}")
expect_refused(minus-one "Line 2 of the file, item 1: the sample count \"-1\" is negative; a file holds 0 to 32767 samples.")
write_iw(count-32768 "T${crlf}32768${crlf}0${crlf}0.5,0.4${crlf}")
expect_refused(count-32768 "Line 2 of the file, item 1: the sample count \"32768\" is beyond 32767, the most samples a file can hold.")
write_iw(count-100000 "T${crlf}100000${crlf}0${crlf}0.5,0.4${crlf}")
expect_refused(count-100000 "Line 2 of the file, item 1: the sample count \"100000\" is beyond 32767, the most samples a file can hold.")
write_iw(fewer "Short${crlf}3${crlf}0${crlf}0.5,0.4${crlf}0.6,0.45${crlf}")
expect_refused(fewer "The file ends after 2 of 3 samples.")
write_iw(nan "T${crlf}1${crlf}0${crlf}nan,0.4${crlf}")
expect_refused(nan "Line 4 of the file, item 1 (the AD width of sample 1): \"nan\" is not a number.")
write_iw(inf "T${crlf}1${crlf}0${crlf}0.5,inf${crlf}")
expect_refused(inf "Line 4 of the file, item 2 (the EG width of sample 1): \"inf\" is not a number.")
write_iw(huge "T${crlf}1${crlf}0${crlf}1e400,0.4${crlf}")
expect_refused(huge "Line 4 of the file, item 1 (the AD width of sample 1): \"1e400\" is not a number that a single-precision value can hold.")
write_iw(commas "Virgules${crlf}1${crlf}0${crlf}0,5;0,4${crlf}")
expect_refused(commas "Line 4 of the file, item 2 (the EG width of sample 1): \"5;0\" is not a number.")
write_iw_printf(utf16 "\\xFF\\xFET\\x00\\r\\x00\\n\\x001\\x00\\r\\x00\\n\\x00")
expect_refused(utf16 "${utf16_text}")
write_iw_printf(utf16-no-mark "T\\x00\\r\\x00\\n\\x001\\x00\\r\\x00\\n\\x00")
expect_refused(utf16-no-mark "${nul_text}")

# A bad correction table stops the treatment before the width file is read.
write_iw(worked "Worked${crlf}1${crlf}0${crlf}0.5,0.4${crlf}")
file(WRITE "${work}/nan.cor" "Instrument${crlf}nan${crlf}0.05${crlf}")
expect_refused(worked "Line 2 of the file, item 1 (the step of the corrected widths): \"nan\" is not a number."
               --rule table --table "${work}/nan.cor")
file(WRITE "${work}/commas.cor" "Instrument${crlf}0,05;0,05${crlf}")
expect_refused(worked "Line 2 of the file, item 2 (the first corrected width): \"05;0\" is not a number."
               --rule table --table "${work}/commas.cor")
set(many "Many${crlf}0.01 0${crlf}")
foreach(i RANGE 1 502)
  string(APPEND many "${i}${crlf}")
endforeach()
file(WRITE "${work}/many.cor" "${many}")
expect_refused(worked "Line 504 of the file, item 1: the table holds more than 501 measured widths, the most a correction table can hold."
               --rule table --table "${work}/many.cor")

# What is read: CR-only line ends and a UTF-8 byte-order mark.
string(ASCII 239 187 191 bom)
foreach(case "cr-only;Mac${cr}1${cr}0${cr}0.5,0.4${cr}" "bom;${bom}Mac${crlf}1${crlf}0${crlf}0.5,0.4")
  list(GET case 0 name)
  list(GET case 1 content)
  write_iw(${name} "${content}")
  execute_process(COMMAND ${CLI} treat "${work}/${name}.IW" -o "${work}/${name}.IWO"
                  RESULT_VARIABLE status ERROR_VARIABLE stderr)
  if(NOT status EQUAL 0)
    fail("${name}: status ${status}\n${stderr}")
  endif()
  # file(READ) drops CR bytes, so the comparisons go through hexadecimal text.
  file(READ "${work}/${name}.IWO" got HEX)
  string(HEX "Mac${crlf}Reichweite:" title_hex)
  string(HEX "${crlf} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}" line_hex)
  string(FIND "${got}" "${title_hex}" at_title)
  string(FIND "${got}" "${line_hex}" at_line)
  if(NOT at_title EQUAL 0 OR at_line EQUAL -1)
    file(READ "${work}/${name}.IWO" text)
    fail("${name}: the result file holds\n${text}")
  endif()
endforeach()

