# SPDX-License-Identifier: GPL-3.0-or-later
# Runs teravine-cli identify and checks its output and exit statuses.
function(expect_run expected_status expected_out)
  run(${expected_status} ${ARGN})
  if(NOT "${expected_out}" STREQUAL "" AND NOT last_out STREQUAL expected_out)
    fail("${ARGN}: printed\n[${last_out}]\nexpected\n[${expected_out}]")
  endif()
endfunction()

expect_run(0 " .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11\nN: 24,S: 4.88%,k:1.17,Nfp: 11\n"
           identify 0.5 0.4)
expect_run(0 "" identify 0.5 0.4 --reichweite R3)
expect_run(2 "Error\n" identify 0.5 0.6)
expect_run(2 "Error\n" identify 0.5 0.1)
expect_run(2 "Error\n" identify 0 0)
expect_run(1 "" identify 0.5)
expect_run(1 "" identify 0.5 abc)
expect_run(1 "" identify 0.5 0.4 --reichweite R2)
expect_run(1 "" frobnicate)
