# The dependency script's helpers, run against made-up configurations.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME deb_src_sources_test
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scripts/deb_src_sources_test.py)
