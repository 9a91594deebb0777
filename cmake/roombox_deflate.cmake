# libdeflate from Debian's libdeflate-dev, which ships a header and libraries
# but no CMake package file: found directly and wrapped as the imported
# target libdeflate. The PNG fast path of the panorama reader checks chunk
# CRCs with it, and inflates with it the streams that are mostly long
# matches. Used by the build and by the installed roombox package alike.
if(NOT TARGET libdeflate)
  find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h REQUIRED)
  find_library(LIBDEFLATE_LIBRARY deflate REQUIRED)
  add_library(libdeflate UNKNOWN IMPORTED)
  set_target_properties(libdeflate PROPERTIES
    IMPORTED_LOCATION ${LIBDEFLATE_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LIBDEFLATE_INCLUDE_DIR})
endif()

# ISA-L's inflater from Debian's libisal-dev (header isa-l/igzip_lib.h, no
# CMake package file), wrapped as the imported target libisal. The PNG fast
# path streams its inflate of photograph-like streams into the image rows
# with it, in pieces, while a second thread undoes the row filters.
if(NOT TARGET libisal)
  find_path(LIBISAL_INCLUDE_DIR isa-l/igzip_lib.h REQUIRED)
  find_library(LIBISAL_LIBRARY isal REQUIRED)
  add_library(libisal UNKNOWN IMPORTED)
  set_target_properties(libisal PROPERTIES
    IMPORTED_LOCATION ${LIBISAL_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LIBISAL_INCLUDE_DIR})
endif()
