# Finds the header-only stb image libraries (stb_image.h and stb_image_write.h).
# Debian keeps them in an stb/ subfolder of the include path; elsewhere they may sit at its top.
# Gives Stb_FOUND, Stb_INCLUDE_DIR and the target Stb::Stb, which puts the folder on the include
# path so that sources write #include <stb_image.h>.
find_path(Stb_INCLUDE_DIR NAMES stb_image.h PATH_SUFFIXES stb)
find_path(Stb_WRITE_INCLUDE_DIR NAMES stb_image_write.h HINTS ${Stb_INCLUDE_DIR} PATH_SUFFIXES stb)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Stb REQUIRED_VARS Stb_INCLUDE_DIR Stb_WRITE_INCLUDE_DIR)
mark_as_advanced(Stb_INCLUDE_DIR Stb_WRITE_INCLUDE_DIR)

if(Stb_FOUND AND NOT TARGET Stb::Stb)
  add_library(Stb::Stb INTERFACE IMPORTED)
  set_target_properties(Stb::Stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${Stb_INCLUDE_DIR};${Stb_WRITE_INCLUDE_DIR}")
endif()
