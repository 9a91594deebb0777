# The compile and link flags of every roombox target, on the INTERFACE target
# roombox_build_flags. roombox_common links it for the build tree only
# ($<BUILD_INTERFACE:...>), so that every library, command, test and module
# that links roombox gets them, and targets that do not link roombox_common
# link it themselves. None of them is exported: a project that uses the
# installed package compiles its own code with its own flags. What the
# installed package does require of its users is set on roombox_common
# itself (src/common/CMakeLists.txt): C++17, and the sanitizer runtimes of a
# sanitized build.
add_library(roombox_build_flags INTERFACE)
target_compile_features(roombox_build_flags INTERFACE cxx_std_17)
# Float results must be the same on every build: no contraction into fused
# multiply-add, no fast-math.
target_compile_options(roombox_build_flags INTERFACE -Wall -Wextra -ffp-contract=off)
if(ROOMBOX_SANITIZE)
  target_compile_options(roombox_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(roombox_build_flags INTERFACE -fsanitize=address,undefined
                      -fno-sanitize-recover=all)
endif()
# Fuzz builds (clang only): every library is instrumented for libFuzzer and
# built with AddressSanitizer and UndefinedBehaviorSanitizer; the targets in
# fuzz/ link the libFuzzer runtime.
if(ROOMBOX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ROOMBOX_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  target_compile_options(roombox_build_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(roombox_build_flags INTERFACE -fsanitize=address,undefined
                      -fno-sanitize-recover=all)
endif()
