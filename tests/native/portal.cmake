# The demo portal and the login page it serves, checked with Python's own
# test runner: no browser, a portal on a free port.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME portal_test COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/portal/portal_test.py)
