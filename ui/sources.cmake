list(APPEND CORE_PORTABLE
  ui/msgbox_layout.cpp
  ui/line_walk.cpp
  ui/progress_fill.cpp
)
