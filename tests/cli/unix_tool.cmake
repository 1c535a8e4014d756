# teravine-cli and teravine as Unix tools: "-" for the standard streams, messages on
# standard error only, inputs never overwritten, no noise from Qt, --version and --help.
# -DCLI=teravine-cli -DEXAMPLES=<examples folder> [-DWINDOW=teravine]
set(scratch_name teravine-unix-tool)
include(${CMAKE_CURRENT_LIST_DIR}/scratch.cmake)
set(samples "${EXAMPLES}/samples.IW")

# Runs a command in the scratch folder; `in` (or "") feeds standard input. Leaves the
# status, standard error and the path of standard output's bytes (file(READ) would drop
# the CR bytes) in run_status, run_err and run_out.
function(run in)
  set(input)
  if(NOT in STREQUAL "")
    set(input INPUT_FILE "${in}")
  endif()
  execute_process(COMMAND ${ARGN} ${input} OUTPUT_FILE "${work}/stdout" ERROR_VARIABLE err
                  RESULT_VARIABLE status WORKING_DIRECTORY "${work}" TIMEOUT 60)
  set(run_status "${status}" PARENT_SCOPE)
  set(run_err "${err}" PARENT_SCOPE)
  set(run_out "${work}/stdout" PARENT_SCOPE)
endfunction()

function(expect status err_pattern what)
  if(NOT run_status STREQUAL "${status}" OR NOT run_err MATCHES "${err_pattern}")
    fail("${what}: status ${run_status}, stderr [${run_err}]; expected ${status} and /${err_pattern}/")
  endif()
endfunction()

function(expect_same got want what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${got}" "${want}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    fail("${what}: ${got} differs from ${want}")
  endif()
endfunction()

# "-": standard input and output; the summary on standard error, or nothing with --quiet.
run("${samples}" ${CLI} treat - -o -)
expect(0 "^Wrote standard output: 9 samples, 6 identified, 3 Error.\n$" "treat - -o -")
expect_same("${run_out}" "${EXAMPLES}/samples.IWO" "treat - -o -")
run("" ${CLI} treat "${samples}" -o out.IWO --quiet)
expect(0 "^$" "treat --quiet")
file(SIZE "${run_out}" printed)
expect_same("${work}/out.IWO" "${EXAMPLES}/samples.IWO" "treat -o out.IWO")
run("" ${CLI} treat "${samples}" -o out.IWO)
expect(0 "^Wrote out.IWO: 9 samples" "treat's summary")
file(SIZE "${run_out}" printed_too)
run("" ${CLI} lines -o - --grids N)
expect(0 "^$" "lines -o -")
file(READ "${run_out}" iwl LIMIT 40)
run("${samples}" ${CLI} plot --samples - -o s.svg)
expect(0 "^$" "plot --samples -")
file(READ "${work}/s.svg" svg)
if(NOT printed EQUAL 0 OR NOT printed_too EQUAL 0 OR NOT iwl MATCHES "^Constante propreties lines"
   OR NOT svg MATCHES "N: 20,S: 4.83%,k:0.95,Nfp: 10" OR EXISTS "${work}/-")
  fail("standard streams: stdout of treat ${printed}/${printed_too} bytes, lines -o - [${iwl}], svg labels or a file named -")
endif()

# The result never replaces the width file or the table just read, however it is spelt.
file(COPY "${samples}" "${EXAMPLES}/instrument.cor" DESTINATION "${work}")
file(CREATE_LINK "${work}/samples.IW" "${work}/hard.IW")
file(CREATE_LINK "${work}/samples.IW" "${work}/soft.IW" SYMBOLIC)
foreach(target samples.IW ./samples.IW hard.IW soft.IW "${work}/samples.IW")
  run("" ${CLI} treat samples.IW -o "${target}")
  expect(1 "^The result file \"[^\n]*\" is the width file \"samples.IW\" just read" "-o ${target}")
endforeach()
run("" ${CLI} treat samples.IW -o instrument.cor --rule table --table instrument.cor)
expect(1 "is the correction table \"instrument.cor\" just read" "-o instrument.cor")
expect_same("${work}/samples.IW" "${samples}" "the width file after the refusals")
expect_same("${work}/instrument.cor" "${EXAMPLES}/instrument.cor" "the table after the refusal")

# A table that does not increase is refused, naming the entry out of order.
file(WRITE "${work}/down.cor" "Down\n0.05\n0.1\n0.2\n0.3\n0.25\n0.4\n")
run("" ${CLI} treat samples.IW -o down.IWO --rule table --table down.cor)
expect(1 "^Line 6 of the file, item 1 \\(measured width 3\\): \"0.25\" is not above the measured width before it, \"0.3\"" "down.cor")
if(EXISTS "${work}/down.IWO")
  fail("a result was written with a table that does not increase")
endif()

# Decimal commas: the result as the rules make it, then the word about the leftovers.
file(WRITE "${work}/comma.IW" "x\n1\n0,1\n0,5 0,4\n")
run("" ${CLI} treat comma.IW -o comma.IWO)
expect(0 "^Wrote comma.IWO: 1 samples, 0 identified, 1 Error.\nThe width file holds 3 numbers after the 1 sample it announces; they were not used. A decimal comma" "comma.IW")
file(READ "${work}/comma.IWO" comma)
if(NOT comma MATCHES "broadening:\t 0\n.*\nError\n$") # file(READ) drops the CRs
  fail("comma.IWO: [${comma}]")
endif()

# No word from Qt about an unset runtime folder; its other warnings still come through.
set(ENV{XDG_RUNTIME_DIR} "${work}/comma.IW") # a file, not a folder
run("" ${CLI} plot -o k2.png)
expect(0 "runtime directory .* is not a directory" "plot with a file as XDG_RUNTIME_DIR")
unset(ENV{XDG_RUNTIME_DIR})
run("" ${CLI} plot -o k.png)
expect(0 "^$" "plot without XDG_RUNTIME_DIR")

if(WINDOW)
  run("" ${WINDOW} --version)
  file(READ "${run_out}" version)
  expect(0 "^$" "teravine --version")
  run("" ${WINDOW} --help)
  file(READ "${run_out}" help)
  expect(0 "^$" "teravine --help")
  if(NOT version MATCHES "^teravine [0-9]+\\.[0-9]+\\.[0-9]+\n$" OR NOT help MATCHES "^Usage: teravine ")
    fail("teravine --version printed [${version}], --help [${help}]")
  endif()
  # The window itself, for the few seconds of its start-up display.
  set(ENV{QT_QPA_PLATFORM} offscreen)
  execute_process(COMMAND ${WINDOW} ERROR_VARIABLE err TIMEOUT 3)
  if(err MATCHES "XDG_RUNTIME_DIR")
    fail("the window warns: ${err}")
  endif()
endif()

file(REMOVE_RECURSE "${work}")
