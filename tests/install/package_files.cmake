# What makes the install a proper package beyond the programs: the licence terms, the
# changelog, the citation, the metainfo that software centres read, and the window's
# manual page, each naming this version.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${err}")
endif()
set(doc ${PREFIX}/share/doc/teravine)

file(READ ${doc}/copyright copyright)
file(READ ${SOURCE_DIR}/CITATION.cff citation)
execute_process(COMMAND gzip -dc ${doc}/changelog.gz OUTPUT_VARIABLE changelog)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
   OR NOT copyright MATCHES "\nLicense: GPL-3.0-or-later\n"
   OR NOT changelog MATCHES "^teravine \\(${VERSION}\\) "
   OR NOT citation MATCHES "\nversion: \"${VERSION}\"\n\n*.*license: GPL-3.0-or-later\n")
  message(FATAL_ERROR "copyright, changelog or CITATION.cff do not name GPL-3.0-or-later and ${VERSION}")
endif()

file(GLOB metainfo ${PREFIX}/share/metainfo/*.metainfo.xml)
list(LENGTH metainfo count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one metainfo file, found [${metainfo}]")
endif()
file(READ ${metainfo} xml)
if(NOT xml MATCHES "<release version=\"${VERSION}\"")
  message(FATAL_ERROR "the metainfo does not name the release ${VERSION}")
endif()
foreach(screenshot window.png window-grids.png window-samples.png)
  if(NOT xml MATCHES "/docs/${screenshot}</image>" OR NOT EXISTS ${SOURCE_DIR}/docs/${screenshot})
    message(FATAL_ERROR "the metainfo lacks the screenshot docs/${screenshot}")
  endif()
endforeach()
find_program(appstreamcli appstreamcli)
if(appstreamcli)
  execute_process(COMMAND ${appstreamcli} validate --no-net --pedantic ${metainfo}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EWIP]: ")
    message(FATAL_ERROR "appstreamcli validate:\n${out}")
  endif()
endif()

if(WITH_WINDOW)
  execute_process(COMMAND gzip -dc ${PREFIX}/share/man/man1/teravine.1.gz OUTPUT_VARIABLE page)
  if(NOT page MATCHES "\n\\.TH TERAVINE 1 \"[^\"]*\" \"Teravine ${VERSION}\"")
    message(FATAL_ERROR "no manual page of teravine ${VERSION}")
  endif()
endif()
