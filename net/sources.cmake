list(APPEND CORE_PORTABLE
  net/url_encode.cpp
  net/md5.cpp
  net/sha256.cpp
  net/http_url.cpp
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
  net/http_get_win.cpp
  net/socket_seam_win.cpp
  net/work_file_win.cpp
  net/update_check_win.cpp
  net/update_download_win.cpp
  net/update_dialog_win.cpp
)
