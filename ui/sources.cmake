list(APPEND CORE_PORTABLE
  ui/skin_geometry.cpp
  ui/icon_file.cpp
)
