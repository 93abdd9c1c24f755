# The relabel tool's library; its entry points are added in cmake/native.cmake
# and cmake/win.cmake.
set(RELABEL_PORTABLE
  relabel/pe_image.cpp
  relabel/block_edit.cpp
  relabel/ctrlblock_cli.cpp
)
list(TRANSFORM RELABEL_PORTABLE PREPEND ${CMAKE_SOURCE_DIR}/)
