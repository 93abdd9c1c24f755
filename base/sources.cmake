list(APPEND CORE_PORTABLE
  base/utf8.cpp
  base/base64.cpp
)
list(APPEND CORE_NATIVE
  base/code_page_iconv.cpp
)
list(APPEND CORE_WIN
  base/code_page_win.cpp
)
