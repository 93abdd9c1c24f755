list(APPEND CORE_PORTABLE
  tools/file_tree.cpp
  tools/shortcut_names.cpp
)
list(APPEND CORE_WIN
  tools/file_tree_win.cpp
  tools/shell_folder_win.cpp
  tools/shortcuts_win.cpp
)
