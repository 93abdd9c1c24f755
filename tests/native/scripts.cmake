# The dependency script's helpers, run against made-up configurations.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME deb_src_sources_test
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scripts/deb_src_sources_test.py)
# `make release` on the built program, with the native tools of this build.
add_test(NAME release_test COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scripts/release_test.py)
set_tests_properties(release_test PROPERTIES
  ENVIRONMENT "CORVANE_NATIVE_BIN=${CMAKE_BINARY_DIR}/bin;CORVANE_WIN_BIN=${CORVANE_WIN_BIN}")
