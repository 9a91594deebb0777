# OpenCV core, imgcodecs and imgproc from Debian's libopencv-core-dev,
# libopencv-imgcodecs-dev and libopencv-imgproc-dev, which ship headers and
# libraries but no CMake package file: found directly and wrapped as the
# imported targets opencv_core, opencv_imgcodecs and opencv_imgproc. Used by
# the build and by the installed roombox package alike.
if(NOT TARGET opencv_core)
  find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
  foreach(module core imgcodecs imgproc)
    find_library(OPENCV_${module}_LIBRARY opencv_${module} REQUIRED)
    add_library(opencv_${module} UNKNOWN IMPORTED)
    set_target_properties(opencv_${module} PROPERTIES
      IMPORTED_LOCATION ${OPENCV_${module}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${OPENCV_INCLUDE_DIR})
  endforeach()
  target_link_libraries(opencv_imgcodecs INTERFACE opencv_core)
  target_link_libraries(opencv_imgproc INTERFACE opencv_core)
endif()
