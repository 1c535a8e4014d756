# Writing onto a full file system: a 64 KiB tmpfs, mounted in a mount namespace of its
# own (`unshare -rm`, no root needed), so nothing stays mounted. A picture that does not
# fit fails with status 1 and the system's reason, and leaves the older file as it was
# and nothing else; a result file that does not fit is never reported as written.
# Where namespaces are not allowed, only the result file is tried, on /dev/full.
# -DCLI=teravine-cli -DSAMPLES=<examples/samples.IW>
if(NOT INSIDE)
  set(scratch_name teravine-full-disk)
  include(${CMAKE_CURRENT_LIST_DIR}/scratch.cmake)
  execute_process(COMMAND unshare -rm true RESULT_VARIABLE no_namespace OUTPUT_QUIET ERROR_QUIET)
  if(no_namespace EQUAL 0)
    execute_process(COMMAND unshare -rm ${CMAKE_COMMAND} -DINSIDE=ON -DWORK=${work} -DCLI=${CLI}
                            -DSAMPLES=${SAMPLES} -P ${CMAKE_CURRENT_LIST_FILE}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      fail("on the full file system: status ${status}")
    endif()
  else()
    message(STATUS "no mount namespace here: pictures on a full disk are not tried")
    execute_process(COMMAND ${CLI} treat ${SAMPLES} -o /dev/full RESULT_VARIABLE status
                    ERROR_VARIABLE err)
    if(NOT status EQUAL 1 OR NOT err MATCHES "No space left on device" OR err MATCHES "Wrote")
      fail("treat -o /dev/full: status ${status}, stderr [${err}]")
    endif()
  endif()
  file(REMOVE_RECURSE "${work}")
  return()
endif()

set(tiny "${WORK}/tiny")
file(MAKE_DIRECTORY "${tiny}")
execute_process(COMMAND mount -t tmpfs -o size=64k tmpfs "${tiny}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot mount a tmpfs in the namespace")
endif()
# 40 KB taken already, so that every figure below is too large for what is left.
string(REPEAT "0123456789" 4000 filler)
file(WRITE "${tiny}/filler" "${filler}")

set(big --size 3000 --grids k,N,S,Nfp --samples ${SAMPLES} --identical k,N,S,Nfp)
foreach(name b.svg c.pdf a.png)
  file(WRITE "${tiny}/${name}" "old")
  execute_process(COMMAND ${CLI} plot -o ${tiny}/${name} ${big} RESULT_VARIABLE status
                  ERROR_VARIABLE err)
  file(READ "${tiny}/${name}" kept)
  if(NOT status EQUAL 1 OR NOT err MATCHES "Cannot write ${tiny}/${name}: No space left on device"
     OR NOT kept STREQUAL "old")
    message(FATAL_ERROR "plot -o ${name}: status ${status}, stderr [${err}], file [${kept}]")
  endif()
endforeach()

# 2000 samples make a result of some 60 KB.
string(REPEAT "0.5,0.4\n" 2000 pairs)
file(WRITE "${WORK}/many.IW" "Many\n2000\n0\n${pairs}")
execute_process(COMMAND ${CLI} treat ${WORK}/many.IW -o ${tiny}/many.IWO RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "No space left on device" OR err MATCHES "Wrote")
  message(FATAL_ERROR "treat -o many.IWO: status ${status}, stderr [${err}]")
endif()

file(GLOB left RELATIVE "${tiny}" "${tiny}/*")
list(SORT left)
if(NOT left STREQUAL "a.png;b.svg;c.pdf;filler;many.IWO")
  message(FATAL_ERROR "left on the file system: ${left}")
endif()
