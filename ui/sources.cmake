list(APPEND CORE_PORTABLE
  ui/msgbox_layout.cpp
  ui/line_walk.cpp
  ui/progress_fill.cpp
)
list(APPEND CORE_WIN
  ui/offscreen_win.cpp
  ui/parent_background_win.cpp
  ui/text_measurer_win.cpp
  ui/static_ex_paint_win.cpp
  ui/progress_paint_win.cpp
  ui/msgbox_paint_win.cpp
)
