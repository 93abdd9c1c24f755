list(APPEND CORE_PORTABLE
  net/url_encode.cpp
  net/md5.cpp
  net/http_url.cpp
)
list(APPEND CORE_WIN
  net/http_get_win.cpp
)
