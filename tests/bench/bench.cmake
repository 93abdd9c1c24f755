# `make bench`'s Windows programs, run under Wine by the Makefile rather
# than by CTest: they take minutes and measure, they do not check.
add_executable(bare_browser WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/bare_browser_win.cpp)
target_link_libraries(bare_browser PRIVATE ole32 oleaut32 uuid)
target_link_options(bare_browser PRIVATE -municode)

add_executable(startup_bench ${CMAKE_SOURCE_DIR}/tests/bench/startup_bench_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/loopback_server_win.cpp ${CMAKE_SOURCE_DIR}/tests/win/black_hole_server_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/request_text.cpp ${CMAKE_SOURCE_DIR}/relabel/block_edit.cpp)
target_link_libraries(startup_bench PRIVATE corvane_core)
target_link_options(startup_bench PRIVATE -municode)
add_dependencies(startup_bench corvane_labelled bare_browser)

# Every host of the repaint bench names its own loopback server.
add_executable(repaint_bench ${CMAKE_SOURCE_DIR}/tests/bench/repaint_bench_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/loopback_server_win.cpp ${CMAKE_SOURCE_DIR}/tests/native/request_text.cpp)
target_link_libraries(repaint_bench PRIVATE corvane_core corvane_res)
target_link_options(repaint_bench PRIVATE -municode)
corvane_relabel(repaint_bench ${CMAKE_BINARY_DIR}/bin/repaint_bench.exe
  SET "LoginPageUrl=http://127.0.0.1:7294/doln/reg.html?a=1&" PortalHost=127.0.0.1:7294
      ClientStatHost=127.0.0.1:7294 EventStatHost=127.0.0.1:7294 OnlineStatHost=127.0.0.1:7294
      PayHost=127.0.0.1:7294 GameHallHost=127.0.0.1:7294 DeviceStatHost=127.0.0.1:7294
      ShortName=RepaintBench)
