# The relabel tool's library; its entry points are added in cmake/native.cmake
# and cmake/win.cmake.
set(RELABEL_PORTABLE
  relabel/block_edit.cpp
  relabel/tool_files.cpp
  relabel/ctrlblock_cli.cpp
)
list(TRANSFORM RELABEL_PORTABLE PREPEND ${CMAKE_SOURCE_DIR}/)
# The release tool's library, native only: it signs with OpenSSL, which the
# program never carries (it verifies with the system's own cryptography).
set(RELEASE_NATIVE
  relabel/update_signer.cpp
  relabel/updatesign_cli.cpp
)
list(TRANSFORM RELEASE_NATIVE PREPEND ${CMAKE_SOURCE_DIR}/)
