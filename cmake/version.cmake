# teravine_version: the generated header teravine_version.h with teravine::kVersion,
# so every executable shows the version set once in project().
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${PROJECT_BINARY_DIR}/generated/teravine_version.h @ONLY)
add_library(teravine_version INTERFACE)
target_include_directories(teravine_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
