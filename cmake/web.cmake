# The WebAssembly build (TERAVINE_BUILD_WEB, configured by scripts/web-build through
# emcmake): what every file of it is compiled with. The standard library of Debian's
# emscripten lacks a few functions the core uses; web/core/libcxx13_compat.h supplies them
# to this build alone.
add_compile_options(-fexceptions "SHELL:-include ${PROJECT_SOURCE_DIR}/web/core/libcxx13_compat.h")
add_link_options(-fexceptions)
