# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli lines: the file of each Reichweite, no family, and the refusals. The
# file's headers and rows are pinned by tests/lines/const_line_file_test.cpp.
set(preamble "Constante propreties lines${crlf}Reichweite:   ")
foreach(r R0 R1 R3)
  run(0 lines -o ${r}.IWL --reichweite ${r})
  file(READ ${work}/${r}.IWL hex_${r} HEX)
  string(HEX "${preamble}${r}${crlf}N= 7  SA${tab}Gly${tab}" start)
  string(REGEX MATCHALL "0d0a" crlfs "${hex_${r}}")
  string(REGEX MATCHALL "0a" ends "${hex_${r}}")
  list(LENGTH crlfs crlf_count)
  list(LENGTH ends end_count)
  string(FIND "${hex_${r}}" "${start}" at)
  if(NOT at EQUAL 0 OR NOT crlf_count EQUAL 114 OR NOT end_count EQUAL 114)
    fail("${r}: not the preamble and 114 lines ended by CR LF")
  endif()
endforeach()
if(hex_R0 STREQUAL hex_R1 OR hex_R0 STREQUAL hex_R3 OR hex_R1 STREQUAL hex_R3)
  fail("two Reichweiten give the same file")
endif()

# No family: the preamble and 112 empty lines, replacing what the file held.
file(WRITE ${work}/none.IWL "old content, longer than the new one")
execute_process(COMMAND ${CLI} lines -o none.IWL --grids "" WORKING_DIRECTORY ${work}
                RESULT_VARIABLE status) # an empty argument survives only written out here
string(REPEAT "${crlf}" 112 empty_lines)
expect_text(${work}/none.IWL "${preamble}R0${crlf}${empty_lines}")

# The families named, in any order, and no others.
run(0 lines -o nfp-n.IWL --grids Nfp,N)
file(STRINGS ${work}/nfp-n.IWL header LIMIT_COUNT 3)
if(NOT header MATCHES "N= 200  SA${tab}Gly${tab}Nfp=70 SA" OR header MATCHES "%S")
  fail("--grids Nfp,N: header [${header}]")
endif()

# Refusals: one line on stderr, status 1, nothing written.
expect(1 "^teravine-cli: Cannot create the file \"missing/x.IWL\"[^\n]*\n$" lines -o missing/x.IWL)
expect(1 "^teravine-cli: [^\n]*unknown grid \"X\"[^\n]*\n$" lines -o bad.IWL --grids N,X)
foreach(bad "--grids;k" "--grids;N,,S" "--grids;N," "--grids;,N" "--grids;n" "--grids;N S"
        "--grids;%S" "--reichweite;R2")
  run(1 lines -o bad.IWL ${bad})
endforeach()
run(1 lines)
expect_missing(${work}/bad.IWL)
