list(APPEND CORE_PORTABLE
  ui/skin_geometry.cpp
  ui/icon_file.cpp
)
list(APPEND CORE_WIN
  ui/image_loader_win.cpp
  ui/icons_win.cpp
  ui/btn_ex_win.cpp
  ui/dlg_ex_win.cpp
)
