# SPDX-License-Identifier: GPL-3.0-or-later
# Writes SITE/service-worker.js from TEMPLATE: the list of the site's files, and a version
# made of their contents, so that every build that changes a file changes the worker.
#   cmake -DSITE=folder -DTEMPLATE=service-worker.js.in -P offline_cache.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files service-worker.js)
list(SORT files)
set(digests "")
set(SITE_FILES "'./'")
foreach(name ${files})
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND SITE_FILES ", '${name}'")
endforeach()
string(SHA256 SITE_VERSION "${digests}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${TEMPLATE} ${SITE}/service-worker.js @ONLY)
