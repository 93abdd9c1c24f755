list(APPEND CORE_PORTABLE
  ui/msgbox_layout.cpp
  ui/box_placement.cpp
  ui/line_walk.cpp
  ui/progress_fill.cpp
  ui/skin_geometry.cpp
  ui/icon_file.cpp
  ui/png_fast_decode.cpp
)
list(APPEND CORE_WIN
  ui/parent_background_win.cpp
  ui/text_measurer_win.cpp
  ui/static_ex_paint_win.cpp
  ui/progress_paint_win.cpp
  ui/msgbox_paint_win.cpp
  ui/image_loader_win.cpp
  ui/image_preload_win.cpp
  ui/wic_png_win.cpp
  ui/icons_win.cpp
  ui/btn_ex_win.cpp
  ui/dlg_ex_win.cpp
  ui/static_ex_win.cpp
  ui/img_progress_win.cpp
  ui/message_box_win.cpp
  ui/box_placement_win.cpp
)
