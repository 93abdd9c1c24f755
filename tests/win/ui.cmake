corvane_win_test(win_ui_paint_test SOURCES tests/win/ui_paint_win_test.cpp)
corvane_win_test(win_ui_test
  SOURCES tests/win/fw_win_test.cpp tests/win/skin_images_win_test.cpp tests/win/skinned_win_test.cpp)
target_link_libraries(win_ui_test PRIVATE corvane_res)

# Screenshots for people: `make screens` (or the `screens` target) writes
# build/screens/frame.png, msgbox.png, progress.png and settings.png.
add_executable(frame_screen ${CMAKE_SOURCE_DIR}/tests/screens/frame_screen_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/screens/screen_util_win.cpp)
target_link_libraries(frame_screen PRIVATE corvane_core corvane_res)
target_link_options(frame_screen PRIVATE -municode)
add_executable(kit_screen ${CMAKE_SOURCE_DIR}/tests/screens/kit_screen_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/screens/screen_util_win.cpp)
target_link_libraries(kit_screen PRIVATE corvane_core corvane_res)
target_link_options(kit_screen PRIVATE -municode)
set(SCREENS_DIR ${CMAKE_SOURCE_DIR}/build/screens)
add_custom_target(screens
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SCREENS_DIR}
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:frame_screen> Z:${SCREENS_DIR}/frame.png
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:kit_screen> msgbox Z:${SCREENS_DIR}/msgbox.png
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:kit_screen> progress Z:${SCREENS_DIR}/progress.png
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:kit_screen> settings Z:${SCREENS_DIR}/settings.png
  DEPENDS frame_screen kit_screen
  COMMENT "Saving build/screens/frame.png, msgbox.png, progress.png and settings.png"
  VERBATIM)
corvane_win_test(win_ui_kit_test SOURCES tests/win/ui_kit_win_test.cpp)
target_link_libraries(win_ui_kit_test PRIVATE corvane_res)
