# Runs teravine-cli identify and checks its output and exit statuses.
function(expect_run expected_status expected_out)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  if(NOT "${expected_out}" STREQUAL "" AND NOT out STREQUAL expected_out)
    message(FATAL_ERROR "${ARGN}: printed\n[${out}]\nexpected\n[${expected_out}]")
  endif()
endfunction()

string(ASCII 9 tab)
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
