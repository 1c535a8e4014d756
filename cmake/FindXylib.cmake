# SPDX-License-Identifier: GPL-3.0-or-later
# xylib, the reader of diffractometer formats (Debian: libxy-dev), which ships neither
# a CMake nor a pkg-config file. Defines Xylib::Xylib.
find_path(Xylib_INCLUDE_DIR NAMES xylib/xylib.h)
find_library(Xylib_LIBRARY NAMES xy)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Xylib REQUIRED_VARS Xylib_LIBRARY Xylib_INCLUDE_DIR)
if(Xylib_FOUND AND NOT TARGET Xylib::Xylib)
  add_library(Xylib::Xylib UNKNOWN IMPORTED)
  set_target_properties(Xylib::Xylib PROPERTIES IMPORTED_LOCATION "${Xylib_LIBRARY}"
                        INTERFACE_INCLUDE_DIRECTORIES "${Xylib_INCLUDE_DIR}")
endif()
mark_as_advanced(Xylib_INCLUDE_DIR Xylib_LIBRARY)
