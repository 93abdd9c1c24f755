list(APPEND NATIVE_TESTS
  tests/native/loopback_server.cpp
  tests/native/sock_down_file_test.cpp
)
