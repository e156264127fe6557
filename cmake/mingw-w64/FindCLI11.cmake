# CLI11 is header-only, but Debian installs it for the host: its package file
# would put the host's whole /usr/include on the cross compiler's path. Only
# the CLI folder is made visible, through a link in the build folder.
find_path(CLI11_HOST_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(CLI11 REQUIRED_VARS CLI11_HOST_INCLUDE_DIR)
if(CLI11_FOUND AND NOT TARGET CLI11::CLI11)
  set(dir ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${CLI11_HOST_INCLUDE_DIR}/CLI ${dir}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${dir})
endif()
