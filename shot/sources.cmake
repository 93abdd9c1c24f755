list(APPEND CORE_PORTABLE
  shot/shot_geometry.cpp
  shot/bmp_file.cpp
  shot/shot_file_name.cpp
)
list(APPEND CORE_WIN
  shot/screen_capture_win.cpp
  shot/shot_output_win.cpp
  shot/real_shot_zone_win.cpp
  shot/shot_zoom_win.cpp
  shot/shot_opera_win.cpp
  shot/screen_shot_win.cpp
)
