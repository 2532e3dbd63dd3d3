# The version of every program and package comes from project(VERSION) alone: this writes it
# into a header that the programs' --version and the Windows resource script include.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/varnet_version.h @ONLY)
add_library(varnet_version INTERFACE)
target_include_directories(varnet_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
