# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli treat on files that are not what they should be: each prints its message
# on stderr, exits with status 1 and makes no result file. The window's refusals of the
# same files, with every message, are tests/hostile/hostile_files_test.cpp.

# Writes <name>.IW with printf (so NUL bytes can be written), treats it with the options
# and expects status 1, the message as the start of stderr, and no result file.
function(refused name bytes message)
  execute_process(COMMAND printf "${bytes}" OUTPUT_FILE "${work}/${name}.IW")
  string(REGEX REPLACE "([][()\\.*+?^$|])" "\\\\\\1" pattern "${message}")
  expect(1 "^${pattern}" treat "${work}/${name}.IW" -o "${work}/${name}.IWO" ${ARGN})
  expect_missing("${work}/${name}.IWO")
endfunction()

set(nul "The file holds NUL bytes, so it is not plain text")
set(utf16 "The file is UTF-16 text (it starts with a UTF-16 byte-order mark)")
refused(empty "" "The file is empty: it has not even a title line.\n")
refused(binary "\\x7FELF\\x02\\x01\\x01\\x00\\x00" "${nul}")
refused(utf16 "\\xFF\\xFET\\x00\\r\\x00\\n\\x001\\x00\\r\\x00\\n\\x00" "${utf16}")
refused(utf16-no-mark "T\\x00\\r\\x00\\n\\x001\\x00\\r\\x00\\n\\x00" "${nul}")
refused(count "T\\r\\n32768\\r\\n0\\r\\n0.5,0.4\\r\\n" "Line 2 of the file, item 1: the sample count \"32768\" is beyond 32767, the most samples a file can hold.\n")
refused(fewer "S\\r\\n3\\r\\n0\\r\\n0.5,0.4\\r\\n" "The file ends after 1 of 3 samples.\n")
refused(nan "T\\r\\n1\\r\\n0\\r\\nnan,0.4\\r\\n" "Line 4 of the file, item 1 (the AD width of sample 1): \"nan\" is not a number.\n")
refused(commas "V\\r\\n1\\r\\n0\\r\\n0,5;0,4\\r\\n" "Line 4 of the file, item 2 (the EG width of sample 1): \"5;0\" is not a number.\n")
# A bad correction table stops the treatment before the width file is read.
file(WRITE "${work}/nan.cor" "Instrument${crlf}nan${crlf}0.05${crlf}")
refused(table "T\\r\\n1\\r\\n0\\r\\n0.5,0.4\\r\\n" "Line 2 of the file, item 1 (the step of the corrected widths): \"nan\" is not a number.\n"
        --rule table --table "${work}/nan.cor")

# What is read: CR-only line ends and a UTF-8 byte-order mark.
foreach(case "cr-only;Mac\\r1\\r0\\r0.5,0.4\\r" "bom;\\xEF\\xBB\\xBFMac\\r\\n1\\r\\n0\\r\\n0.5,0.4")
  list(GET case 0 name)
  list(GET case 1 bytes)
  execute_process(COMMAND printf "${bytes}" OUTPUT_FILE "${work}/${name}.IW")
  run(0 treat "${work}/${name}.IW" -o "${work}/${name}.IWO")
  expect_text("${work}/${name}.IWO" "Mac${crlf}Reichweite:${tab}R0${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Lorentz Gauss geometric mean${crlf}IW_AD${tab}IW_EG${tab}N${tab}S${tab}k${tab}Nfd${crlf} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}")
endforeach()
