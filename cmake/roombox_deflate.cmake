# libdeflate from Debian's libdeflate-dev, which ships a header and libraries
# but no CMake package file: found directly and wrapped as the imported
# target libdeflate. The PNG fast path of the panorama reader inflates with
# it. Used by the build and by the installed roombox package alike.
if(NOT TARGET libdeflate)
  find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h REQUIRED)
  find_library(LIBDEFLATE_LIBRARY deflate REQUIRED)
  add_library(libdeflate UNKNOWN IMPORTED)
  set_target_properties(libdeflate PROPERTIES
    IMPORTED_LOCATION ${LIBDEFLATE_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LIBDEFLATE_INCLUDE_DIR})
endif()
