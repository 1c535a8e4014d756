# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli and teravine as Unix tools: "-" for the standard streams, messages on
# standard error only, inputs never overwritten, no noise from Qt, --version and --help.
# -DCLI=teravine-cli -DEXAMPLES=<examples folder> [-DWINDOW=teravine]
cmake_policy(VERSION 3.25)
file(COPY "${EXAMPLES}/samples.IW" "${EXAMPLES}/instrument.cor" DESTINATION "${work}")
file(CREATE_LINK "${work}/samples.IW" "${work}/hard.IW")
file(CREATE_LINK "${work}/samples.IW" "${work}/soft.IW" SYMBOLIC)
file(WRITE "${work}/down.cor" "Down\n0.05\n0.1\n0.2\n0.3\n0.25\n0.4\n")
file(WRITE "${work}/comma.IW" "x\n1\n0,1\n0,5 0,4\n")

# Each case: standard input ("" for none), the status, a pattern for standard error, and
# the command, as one ;-list. Standard output goes to the file out.
set(stdin_treat "samples.IW;0;^Wrote standard output: 9 samples, 6 identified, 3 Error.\n$;${CLI};treat;-;-o;-")
set(quiet ";0;^$;${CLI};treat;samples.IW;-o;q.IWO;--quiet")
set(summary ";0;^Wrote s.IWO: 9 samples;${CLI};treat;samples.IW;-o;s.IWO")
set(lines_out ";0;^$;${CLI};lines;-o;-;--grids;N")
set(plot_in "samples.IW;0;^$;${CLI};plot;--samples;-;-o;s.svg")
set(same ";1;^The result file \"[^\n]*\" is the width file \"samples.IW\" just read;${CLI};treat;samples.IW;-o")
set(same_table ";1;is the correction table \"instrument.cor\" just read;${CLI};treat;samples.IW;-o;instrument.cor;--rule;table;--table;instrument.cor")
set(down ";1;^Line 6 of the file, item 1 \\(measured width 3\\): \"0.25\" is not above the measured width before it, \"0.3\";${CLI};treat;samples.IW;-o;down.IWO;--rule;table;--table;down.cor")
set(comma ";0;^Wrote comma.IWO: 1 samples, 0 identified, 1 Error.\nThe width file holds 3 numbers after the 1 sample it announces. they were not used. A decimal comma;${CLI};treat;comma.IW;-o;comma.IWO")
set(real_warning ";0;runtime directory .* is not a directory;${CLI};plot;-o;k2.png")
set(no_warning ";0;^$;${CLI};plot;-o;k.png")
set(cases stdin_treat quiet summary lines_out plot_in same_table down comma)
foreach(target samples.IW ./samples.IW hard.IW soft.IW "${work}/samples.IW")
  set(same_${target} "${same};${target}")
  list(APPEND cases same_${target})
endforeach()
if(WINDOW)
  set(version ";0;^$;${WINDOW};--version")
  set(help ";0;^$;${WINDOW};--help")
  list(APPEND cases version help)
endif()
list(APPEND cases real_warning no_warning)

foreach(case ${cases})
  list(POP_FRONT ${case} in status pattern)
  set(input)
  if(NOT in STREQUAL "")
    set(input INPUT_FILE "${in}")
  endif()
  if(case STREQUAL "real_warning")
    set(ENV{XDG_RUNTIME_DIR} "${work}/comma.IW") # a file, not a folder
  elseif(case STREQUAL "no_warning")
    unset(ENV{XDG_RUNTIME_DIR})
  endif()
  execute_process(COMMAND ${${case}} ${input} OUTPUT_FILE "${work}/out" ERROR_VARIABLE err
                  RESULT_VARIABLE got WORKING_DIRECTORY "${work}" TIMEOUT 60)
  if(NOT got STREQUAL status OR NOT err MATCHES "${pattern}")
    fail("${case}: status ${got}, stderr [${err}]; expected ${status} and /${pattern}/")
  endif()
  file(READ "${work}/out" out_${case})
endforeach()

# What standard output and the files hold (file(READ) drops the CR bytes).
file(READ "${EXAMPLES}/samples.IWO" iwo)
file(READ "${work}/s.svg" svg)
file(READ "${work}/comma.IWO" comma)
file(READ "${work}/samples.IW" widths)
file(READ "${EXAMPLES}/samples.IW" widths_before)
if(NOT out_stdin_treat STREQUAL iwo OR NOT out_quiet STREQUAL "" OR NOT out_summary STREQUAL ""
   OR NOT out_lines_out MATCHES "^Constante propreties lines\nReichweite:   R0\nN= 7  SA"
   OR NOT svg MATCHES "N: 20,S: 4.83%,k:0.95,Nfp: 10" OR EXISTS "${work}/-"
   OR NOT widths STREQUAL widths_before OR EXISTS "${work}/down.IWO"
   OR NOT comma MATCHES "broadening:\t 0\n.*\nError\n$")
  fail("a command printed or wrote the wrong thing")
endif()
if(WINDOW AND (NOT out_version MATCHES "^teravine [0-9.]+\n$" OR NOT out_help MATCHES "^Usage: teravine "))
  fail("teravine --version printed [${out_version}], --help [${out_help}]")
endif()
if(WINDOW) # the window itself, for the first seconds of its start-up display
  set(ENV{QT_QPA_PLATFORM} offscreen)
  execute_process(COMMAND ${WINDOW} ERROR_VARIABLE err TIMEOUT 3)
  if(err MATCHES "XDG_RUNTIME_DIR")
    fail("the window warns: ${err}")
  endif()
endif()

# A result that cannot reach standard output (a full disk) fails the command, whichever.
if(EXISTS /dev/full)
  foreach(command "identify;0.5;0.4" "treat;samples.IW;-o;-")
    execute_process(COMMAND ${CLI} ${command} OUTPUT_FILE /dev/full RESULT_VARIABLE status
                    ERROR_VARIABLE err WORKING_DIRECTORY ${work})
    if(NOT status EQUAL 1 OR NOT err MATCHES "[Ss]tandard output cannot be written")
      fail("${command} > /dev/full: status ${status}\n${err}")
    endif()
  endforeach()
endif()

file(REMOVE_RECURSE "${work}")
