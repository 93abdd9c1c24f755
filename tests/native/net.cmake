list(APPEND NATIVE_TESTS
  tests/native/url_encode_test.cpp
  tests/native/md5_test.cpp
  tests/native/http_url_test.cpp
)
