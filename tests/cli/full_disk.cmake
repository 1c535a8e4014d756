# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures and text outputs onto a full file system: a 64 KiB tmpfs in a mount namespace
# of its own (`unshare -rm`, no root needed, nothing stays mounted), 40 KB of it taken.
# Each output fails with status 1 and the system's reason, and leaves the older file as
# it was and nothing else. -DCLI=teravine-cli -DSAMPLES=<examples/samples.IW>
if(NOT INSIDE)
  # A container or chroot that allows no user namespace cannot run this at all.
  execute_process(COMMAND unshare -rm true RESULT_VARIABLE can_unshare OUTPUT_QUIET ERROR_QUIET)
  if(NOT can_unshare EQUAL 0)
    message("SKIPPED: no mount namespace can be made here")
    return()
  endif()
  # The inputs lie outside the small file system.
  get_filename_component(examples "${SAMPLES}" DIRECTORY)
  file(MAKE_DIRECTORY "${work}-in")
  file(WRITE "${work}-in/pairs.csv" "name,ad,eg\none,${examples}/illite-AD.xy,${examples}/illite-EG.xy\n")
  string(REPEAT "0.5,0.4\n" 600 many)
  file(WRITE "${work}-in/many.IW" "many\n600\n0\n${many}")
  file(WRITE "${work}-in/s.json" "{\"format\": \"teravine-session\", \"version\": 1, \"reichweite\": 1, \"rule\": 2, \"broadening\": \"\", \"correction_table\": {\"label\": \"\", \"step\": 0.0, \"start\": 0.0, \"measured\": [], \"corrected\": []}, \"grid_lines\": {\"k\": true, \"n\": false, \"s\": false, \"nfp\": false}, \"identical_lines\": {\"k\": false, \"n\": false, \"s\": false, \"nfp\": false}, \"labels\": \"label\", \"sigma\": 0.0, \"ellipses\": false, \"samples\": []}")
  execute_process(COMMAND unshare -rm ${CMAKE_COMMAND} -DINSIDE=ON -DWORK=${work} -DCLI=${CLI}
                          -DSAMPLES=${SAMPLES} -DINPUTS=${work}-in -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE status)
  file(REMOVE_RECURSE "${work}-in")
  file(REMOVE_RECURSE "${work}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "status ${status} (no mount namespace here?)")
  endif()
  return()
endif()
execute_process(COMMAND mount -t tmpfs -o size=64k tmpfs "${WORK}" COMMAND_ERROR_IS_FATAL ANY)
string(REPEAT "0123456789" 4000 filler)
file(WRITE "${WORK}/filler" "${filler}")
foreach(name b.svg c.pdf a.png)
  file(WRITE "${WORK}/${name}" "old")
  execute_process(COMMAND ${CLI} plot -o ${WORK}/${name} --size 3000 --grids k,N,S,Nfp
                          --samples ${SAMPLES} --identical k,N,S,Nfp
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  file(READ "${WORK}/${name}" kept)
  if(NOT status EQUAL 1 OR NOT err MATCHES "Cannot write ${WORK}/${name}: No space left on device"
     OR NOT kept STREQUAL "old")
    message(FATAL_ERROR "plot -o ${name}: status ${status}, stderr [${err}], file [${kept}]")
  endif()
endforeach()
# The text outputs: the result file, its CSV table, the constant lines and a width file;
# and a report.
# The old files first, then the rest of the room taken: not one more page is free.
file(REMOVE "${WORK}/filler")
set(outputs
    "r.IWO|treat ${INPUTS}/many.IW -o ${WORK}/r.IWO"
    "t.csv|treat ${INPUTS}/many.IW -o - --csv ${WORK}/t.csv"
    "l.IWL|lines -o ${WORK}/l.IWL --grids N,S,Nfp"
    "w.IW|measure --pairs ${INPUTS}/pairs.csv -o ${WORK}/w.IW --csv ${WORK}/w.csv"
    "d.pdf|report ${INPUTS}/s.json -o ${WORK}/d.pdf")
foreach(output IN LISTS outputs)
  string(REGEX REPLACE "\\|.*" "" name "${output}")
  file(WRITE "${WORK}/${name}" "old")
endforeach()
execute_process(COMMAND dd if=/dev/zero of=${WORK}/rest bs=1024 OUTPUT_QUIET ERROR_QUIET)
foreach(output IN LISTS outputs)
  string(REGEX REPLACE "\\|.*" "" name "${output}")
  string(REGEX REPLACE ".*\\|" "" output "${output}")
  separate_arguments(output UNIX_COMMAND "${output}")
  execute_process(COMMAND ${CLI} ${output} RESULT_VARIABLE status ERROR_VARIABLE err
                  OUTPUT_QUIET)
  file(READ "${WORK}/${name}" kept)
  if(NOT status EQUAL 1 OR NOT err MATCHES "No space left on device" OR NOT kept STREQUAL "old")
    message(FATAL_ERROR "${output}: status ${status}, stderr [${err}], file [${kept}]")
  endif()
endforeach()

file(GLOB left RELATIVE "${WORK}" "${WORK}/*" "${WORK}/.*")
if(NOT left STREQUAL "a.png;b.svg;c.pdf;d.pdf;l.IWL;r.IWO;rest;t.csv;w.IW")
  message(FATAL_ERROR "left behind: ${left}")
endif()
