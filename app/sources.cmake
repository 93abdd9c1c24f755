list(APPEND CORE_PORTABLE
  app/utf8.cpp
  app/ctrl_layout.cpp
  app/ctrl_block.cpp
)
list(APPEND CORE_NATIVE
  app/code_page_iconv.cpp
)
list(APPEND CORE_WIN
  app/code_page_win.cpp
  app/ctrl_block_win.cpp
  app/ctrl_section.S
)
list(APPEND APP_WIN
  app/corvane_app_win.cpp
)
