list(APPEND CORE_PORTABLE
  tools/file_tree.cpp
)
list(APPEND CORE_WIN
  tools/file_tree_win.cpp
)
