list(APPEND CORE_PORTABLE
  browser/frame_urls.cpp
  browser/login_text.cpp
  browser/page_label.cpp
  browser/tab_strip.cpp
)
