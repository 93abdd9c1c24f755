list(APPEND CORE_PORTABLE
  net/sock_base.cpp
  net/sock_down_file.cpp
  net/update_check.cpp
  net/update_download.cpp
)
list(APPEND CORE_NATIVE
  net/socket_seam_posix.cpp
  net/work_file_posix.cpp
)
list(APPEND CORE_WIN
  net/socket_seam_win.cpp
  net/work_file_win.cpp
  net/update_check_win.cpp
  net/update_download_win.cpp
)
