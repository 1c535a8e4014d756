# SPDX-License-Identifier: GPL-3.0-or-later
# What makes the install a package beyond the programs: licence terms, changelog,
# citation, AppStream metainfo with the screenshots of docs/ (valid for appstreamcli),
# and the window's manual page, each naming this version.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} OUTPUT_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
set(doc ${PREFIX}/share/doc/teravine)
file(READ ${doc}/copyright copyright)
file(READ ${SOURCE_DIR}/CITATION.cff citation)
execute_process(COMMAND gzip -dc ${doc}/changelog.gz OUTPUT_VARIABLE changelog)
file(GLOB metainfo ${PREFIX}/share/metainfo/*.metainfo.xml)
file(READ ${metainfo} xml)
set(page "\n.TH TERAVINE 1 \"\" \"Teravine ${VERSION}\"")
if(WITH_WINDOW)
  execute_process(COMMAND gzip -dc ${PREFIX}/share/man/man1/teravine.1.gz OUTPUT_VARIABLE page)
endif()
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n.*\nLicense: GPL-3.0-or-later\n"
   OR NOT changelog MATCHES "^teravine \\(${VERSION}\\) "
   OR NOT citation MATCHES "\nversion: \"${VERSION}\"\n.*\nlicense: GPL-3.0-or-later\n"
   OR NOT xml MATCHES "/docs/window-samples.png</image>.*<release version=\"${VERSION}\""
   OR NOT page MATCHES "\n\\.TH TERAVINE 1 \"[^\"]*\" \"Teravine ${VERSION}\"")
  message(FATAL_ERROR "copyright, changelog, CITATION.cff, metainfo or teravine.1 miss GPL-3.0-or-later or ${VERSION}")
endif()
find_program(appstreamcli appstreamcli)
if(appstreamcli)
  execute_process(COMMAND ${appstreamcli} validate --no-net --pedantic ${metainfo}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EWIP]: ")
    message(FATAL_ERROR "appstreamcli validate:\n${out}")
  endif()
endif()
