# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks what a user of the package gets:
# the programs, a menu entry that points at them, the icons and the manual page.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${err}")
endif()

set(icons share/icons/hicolor)
set(expected
    bin/teravine-cli share/applications/teravine.desktop ${icons}/scalable/apps/teravine.svg
    ${icons}/48x48/apps/teravine.png ${icons}/256x256/apps/teravine.png
    share/man/man1/teravine-cli.1.gz)
if(WITH_WINDOW)
  list(APPEND expected bin/teravine)
endif()
foreach(path ${expected})
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The installed tool runs from its new place and names the project's version.
execute_process(COMMAND ${PREFIX}/bin/teravine-cli --version RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "teravine-cli ${VERSION}\n")
  message(FATAL_ERROR "teravine-cli --version: status ${status}, printed [${out}${err}]")
endif()

# It finds its figure renderer where the install put it.
execute_process(COMMAND ${PREFIX}/bin/teravine-cli plot -o ${PREFIX}/drawn.png
                RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS ${PREFIX}/drawn.png)
  message(FATAL_ERROR "the installed teravine-cli plot: status ${status}: ${err}")
endif()

# A menu entry is only useful if its command and its icon are installed too.
file(READ ${PREFIX}/share/applications/teravine.desktop desktop)
string(REGEX MATCH "\nExec=([^ \n]+)" exec_line "${desktop}")
string(REGEX MATCH "\nIcon=([^\n]+)" icon_line "${desktop}")
if(NOT exec_line OR NOT icon_line)
  message(FATAL_ERROR "the desktop entry lacks Exec= or Icon=:\n${desktop}")
endif()
string(REGEX REPLACE "\nExec=" "" program "${exec_line}")
string(REGEX REPLACE "\nIcon=" "" icon "${icon_line}")
if(WITH_WINDOW AND NOT EXISTS ${PREFIX}/bin/${program})
  message(FATAL_ERROR "the desktop entry starts '${program}', which is not installed")
endif()
if(NOT EXISTS ${PREFIX}/${icons}/scalable/apps/${icon}.svg)
  message(FATAL_ERROR "the desktop entry's icon '${icon}' is not installed")
endif()
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} ${PREFIX}/share/applications/teravine.desktop
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}${err}")
  endif()
endif()

# Each PNG sits in the folder of its own size (width and height from the PNG header).
foreach(size 48 256)
  file(READ ${PREFIX}/${icons}/${size}x${size}/apps/teravine.png header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 magic)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT magic STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${size}x${size}/apps/teravine.png is not a ${size}x${size} PNG")
  endif()
endforeach()

# The manual page is gzip data that unpacks to the page of this version.
execute_process(COMMAND gzip -dc ${PREFIX}/share/man/man1/teravine-cli.1.gz
                RESULT_VARIABLE status OUTPUT_VARIABLE page)
if(NOT status EQUAL 0 OR NOT page MATCHES "^[^\n]*\n\\.TH TERAVINE-CLI 1 \"[^\"]*\" \"Teravine ${VERSION}\"")
  message(FATAL_ERROR "the installed manual page does not unpack to the page of ${VERSION}")
endif()

# Whatever the source tree has of examples and the guide goes with the package.
file(GLOB examples RELATIVE ${SOURCE_DIR}/examples ${SOURCE_DIR}/examples/*)
foreach(example ${examples})
  if(NOT EXISTS ${PREFIX}/share/doc/teravine/examples/${example})
    message(FATAL_ERROR "example not installed: ${example}")
  endif()
endforeach()
if(NOT EXISTS ${PREFIX}/share/doc/teravine/guide.md)
  message(FATAL_ERROR "docs/guide.md not installed")
endif()
# The window shows the installed guide with its pictures: each one it names is beside it.
file(READ ${SOURCE_DIR}/docs/guide.md guide)
string(REGEX MATCHALL "!\\[[^]]*\\]\\([^)]+\\)" pictures "${guide}")
foreach(picture ${pictures})
  string(REGEX REPLACE "^.*\\(([^)]+)\\)$" "\\1" picture "${picture}")
  if(NOT EXISTS ${PREFIX}/share/doc/teravine/${picture})
    message(FATAL_ERROR "the guide's picture ${picture} is not installed beside it")
  endif()
endforeach()
