list(APPEND NATIVE_TESTS
  tests/native/url_encode_test.cpp
  tests/native/md5_test.cpp
  tests/native/sha256_test.cpp
  tests/native/http_url_test.cpp
  tests/native/loopback_server.cpp
  tests/native/request_text.cpp
  tests/native/sock_down_file_test.cpp
  tests/native/update_test.cpp
)

# `make bench`: DownloadFile against curl on one loopback file.
add_executable(net_bench tests/native/net_bench.cpp tests/native/loopback_server.cpp
  tests/native/request_text.cpp)
target_link_libraries(net_bench PRIVATE corvane_core)
