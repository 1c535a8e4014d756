# What `cmake --install` puts where, and the Debian package that CPack builds from the
# same tree (`cmake --build <dir> --target package`).
include(GNUInstallDirs)

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

if(TERAVINE_BUILD_GUI)
  install(TARGETS teravine RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS teravine-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The figure renderer teravine-cli opens to draw: a private library, read-only as
# Debian wants shared libraries.
install(TARGETS teravine_figure_renderer LIBRARY DESTINATION ${TERAVINE_RENDERER_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(FILES ${packaging_dir}/teravine.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/teravine.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNGs are rendered from teravine.svg (rsvg-convert -w N -h N) for menus that take no
# SVG; render them again whenever the SVG changes.
foreach(size 48 256)
  install(FILES ${packaging_dir}/teravine-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME teravine.png)
endforeach()

# The manual pages carry the project's version; Debian wants them compressed, and -n
# keeps the time stamp out so that two builds give the same package. So does the
# changelog, which Debian keeps as changelog.gz in the doc folder.
set(compressed_docs)
foreach(page teravine-cli.1 teravine.1)
  configure_file(${packaging_dir}/${page}.in ${PROJECT_BINARY_DIR}/packaging/${page} @ONLY)
  list(APPEND compressed_docs ${PROJECT_BINARY_DIR}/packaging/${page})
endforeach()
configure_file(${packaging_dir}/changelog ${PROJECT_BINARY_DIR}/packaging/changelog COPYONLY)
list(APPEND compressed_docs ${PROJECT_BINARY_DIR}/packaging/changelog)
set(compressed_outputs)
foreach(doc ${compressed_docs})
  add_custom_command(OUTPUT ${doc}.gz COMMAND gzip -9 -n -f -k ${doc} DEPENDS ${doc}
                     COMMENT "Compressing ${doc}")
  list(APPEND compressed_outputs ${doc}.gz)
endforeach()
add_custom_target(teravine_compressed_docs ALL DEPENDS ${compressed_outputs})
install(FILES ${PROJECT_BINARY_DIR}/packaging/teravine-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TERAVINE_BUILD_GUI)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/teravine.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz ${packaging_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# What software centres read. The identifier and the web address are the project's
# to choose; the defaults stand in until it has its own.
set(TERAVINE_APP_ID "org.example.teravine" CACHE STRING "AppStream identifier (reverse DNS)")
set(TERAVINE_HOMEPAGE "https://teravine.example.org" CACHE STRING
    "Web address of the project; its docs/ folder holds the screenshots")
set(TERAVINE_CONTACT "Teravine developers <teravine@users.noreply.example.org>" CACHE STRING
    "Maintainer of the Debian package")
set(metainfo ${PROJECT_BINARY_DIR}/packaging/${TERAVINE_APP_ID}.metainfo.xml)
configure_file(${packaging_dir}/teravine.metainfo.xml.in ${metainfo} @ONLY)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The examples and the guide, with the pictures it shows (the window renders it), go with
# the package.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
file(GLOB guide_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png ${PROJECT_SOURCE_DIR}/docs/*.svg)
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/README.md ${guide_pictures}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/img DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME teravine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Teravine developers")
set(CPACK_PACKAGE_CONTACT "${TERAVINE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "illite crystallinity diagram for clay mineralogists")
set(CPACK_PACKAGE_DESCRIPTION
    "Teravine places the X-ray diffraction peak widths of a clay sample,
air-dried and glycolated, on a diagram calibrated for the Reichweite R0, R1
or R3, and derives the illite's k, mean thickness N, smectite percentage %S
and fundamental-particle thickness Nfp. Samples are clicked, typed with
their instrumental broadening, or treated from width files; grids of
constant N, %S and Nfp can be shown and exported.
.
The package holds the window, teravine, and the headless tool teravine-cli,
which identifies pairs, treats width files, writes constant-line files,
draws the diagram to PNG, SVG or PDF, and measures the two widths on the
diffractograms themselves.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps finds the libraries the programs link, but not what Qt loads at run
# time: the platform plugin, the SVG image plugin and a font to draw the labels with.
# The pattern readers' shared libraries are named too, so the package says what it reads
# with (GSL and pugixml are linked in unless TERAVINE_STATIC_LIBRARIES is off).
if(TERAVINE_STATIC_LIBRARIES)
  set(pattern_readers "zlib1g, libgslcblas0")
else()
  set(pattern_readers "libpugixml1v5, zlib1g, libgsl27")
endif()
if(TERAVINE_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6gui6, libqt6printsupport6, libqt6svg6, qt6-qpa-plugins, fonts-liberation, ${pattern_readers}"
  )
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6, libqt6svg6, fonts-liberation, ${pattern_readers}")
endif()
include(CPack)
