# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures onto a full file system: a 64 KiB tmpfs in a mount namespace of its own
# (`unshare -rm`, no root needed, nothing stays mounted), 40 KB of it taken. Each plot
# fails with status 1 and the system's reason, and leaves the older file as it was and
# nothing else. -DCLI=teravine-cli -DSAMPLES=<examples/samples.IW>
if(NOT INSIDE)
  # A container or chroot that allows no user namespace cannot run this at all.
  execute_process(COMMAND unshare -rm true RESULT_VARIABLE can_unshare OUTPUT_QUIET ERROR_QUIET)
  if(NOT can_unshare EQUAL 0)
    message("SKIPPED: no mount namespace can be made here")
    return()
  endif()
  execute_process(COMMAND unshare -rm ${CMAKE_COMMAND} -DINSIDE=ON -DWORK=${work} -DCLI=${CLI}
                          -DSAMPLES=${SAMPLES} -P ${CMAKE_CURRENT_LIST_FILE} RESULT_VARIABLE status)
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
file(GLOB left RELATIVE "${WORK}" "${WORK}/*")
if(NOT left STREQUAL "a.png;b.svg;c.pdf;filler")
  message(FATAL_ERROR "left behind: ${left}")
endif()
