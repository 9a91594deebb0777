# OpenCV core, imgcodecs and imgproc from Debian's libopencv-core-dev,
# libopencv-imgcodecs-dev and libopencv-imgproc-dev, which ship headers and
# libraries but no CMake package file: found directly and wrapped as the
# imported targets roombox_opencv::core, roombox_opencv::imgcodecs and
# roombox_opencv::imgproc. Used by the build and by the installed roombox
# package alike. The names are roombox's own, so that a project that finds
# roombox and then OpenCV's own package (whose targets are opencv_core and
# so on) gets every OpenCV target it asks for.
if(NOT TARGET roombox_opencv::core)
  find_path(ROOMBOX_OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
  foreach(module core imgcodecs imgproc)
    find_library(ROOMBOX_OPENCV_${module}_LIBRARY opencv_${module} REQUIRED)
    add_library(roombox_opencv::${module} UNKNOWN IMPORTED)
    set_target_properties(roombox_opencv::${module} PROPERTIES
      IMPORTED_LOCATION ${ROOMBOX_OPENCV_${module}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${ROOMBOX_OPENCV_INCLUDE_DIR})
  endforeach()
  set_property(TARGET roombox_opencv::imgcodecs APPEND PROPERTY INTERFACE_LINK_LIBRARIES
               roombox_opencv::core)
  set_property(TARGET roombox_opencv::imgproc APPEND PROPERTY INTERFACE_LINK_LIBRARIES
               roombox_opencv::core)
endif()
