# SPDX-License-Identifier: GPL-3.0-or-later
# The one driver of the CLI test scripts:
#   cmake -DCLI=<teravine-cli> -DCASE=<script name> [-DNAME=value ...] -P driver.cmake
# runs tests/cli/<script name>.cmake in a fresh scratch folder `work` (under $TMPDIR or
# /tmp, removed afterwards) with these at hand:
#   tab, cr, crlf                          the characters files are made of
#   fail(text)                             stops the test with the text
#   run(status args...)                    runs ${CLI} args in `work`, expects the exit
#                                          status, leaves stdout/stderr in last_out/last_err
#   expect(status pattern args...)         run(), and stderr must match the regex pattern
#   expect_text(path text)                 the file holds exactly text, CR bytes included
#   expect_same_files(got want)            two files are the same bytes
#   expect_missing(path...)                none of the files exists
#   expect_in(text wanted what)            text contains wanted; `what` names it if not
#   write_pattern(file args...)            ${WRITE_PATTERN} writes a synthetic pattern
#                                          into `work` (its arguments: FWHM POSITION ...)
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

function(run expected_status)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err WORKING_DIRECTORY ${work})
  if(NOT status EQUAL expected_status)
    fail("${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
  set(last_err "${err}" PARENT_SCOPE)
endfunction()

function(expect expected_status pattern)
  run(${expected_status} ${ARGN})
  if(NOT last_err MATCHES "${pattern}")
    fail("${ARGN}: stderr\n[${last_err}]\ndoes not match\n[${pattern}]")
  endif()
  set(last_out "${last_out}" PARENT_SCOPE)
  set(last_err "${last_err}" PARENT_SCOPE)
endfunction()

# file(READ) drops CR bytes, so the comparison goes through hexadecimal text.
function(expect_text path text)
  file(READ "${path}" got HEX)
  string(HEX "${text}" want)
  if(NOT got STREQUAL want)
    file(READ "${path}" shown)
    fail("${path} holds\n[${shown}]\nexpected\n[${text}]")
  endif()
endfunction()

function(expect_same_files got want)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${got}" "${want}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    fail("${got} differs from ${want}")
  endif()
endfunction()

function(expect_missing)
  foreach(path ${ARGN})
    if(EXISTS "${path}")
      fail("${path} was written")
    endif()
  endforeach()
endfunction()

function(expect_in text wanted what)
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    fail("${what}:\n[${text}]\ndoes not contain\n[${wanted}]")
  endif()
endfunction()

function(write_pattern file)
  execute_process(COMMAND ${WRITE_PATTERN} ${work}/${file} ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("write-pattern ${file} failed")
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/${CASE}.cmake)
file(REMOVE_RECURSE "${work}")
