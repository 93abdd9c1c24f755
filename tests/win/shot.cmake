# The saved BMP is read back natively with a real BMP reader (Pillow), so the
# Windows test leaves it in the build tree for the check that follows it.
set(SHOT_BMP_DIR ${CMAKE_BINARY_DIR}/shot-bmp)
corvane_win_test(win_shot_test SOURCES tests/win/shot_win_test.cpp)
target_link_libraries(win_shot_test PRIVATE corvane_res)
target_compile_definitions(win_shot_test PRIVATE SHOT_BMP_DIR="Z:${SHOT_BMP_DIR}")
set_tests_properties(win_shot_test PROPERTIES FIXTURES_SETUP shot_bmp FIXTURES_REQUIRED "wine;shot_unmanaged")

# Wine waits up to 2 s for a window manager to unmap each hidden full-screen
# or system-menu window, and Xvfb has none; the tool hides four windows per
# closing, twenty times over. Unmanaged X windows (for this program only)
# hide at once.
add_test(NAME win_shot_unmanaged
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run reg add
          "HKCU\\Software\\Wine\\AppDefaults\\win_shot_test.exe\\X11 Driver" /v Managed /d N /f)
set_tests_properties(win_shot_unmanaged PROPERTIES FIXTURES_SETUP shot_unmanaged FIXTURES_REQUIRED wine
  ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR})

# Debian's interpreter, which has the python3-pil package.
find_program(SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_test(NAME win_shot_bmp_check
  COMMAND ${SYSTEM_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/win/check_shot_bmp.py ${SHOT_BMP_DIR}/saved.bmp ${SHOT_BMP_DIR}/saved.area)
set_tests_properties(win_shot_bmp_check PROPERTIES FIXTURES_REQUIRED shot_bmp)

# `make screens` also writes build/screens/shot.png: the tool over a painted
# desktop with a selection, its toolbar and the magnifier.
add_executable(shot_screen ${CMAKE_SOURCE_DIR}/tests/screens/shot_screen_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/screens/screen_util_win.cpp)
target_link_libraries(shot_screen PRIVATE corvane_core corvane_res)
target_link_options(shot_screen PRIVATE -municode)
# Unmanaged, as for the test: without a window manager Wine leaves managed
# X windows where they were first shown.
add_custom_target(shot_screen_png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SCREENS_DIR}
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run reg add
          "HKCU\\Software\\Wine\\AppDefaults\\shot_screen.exe\\X11 Driver" /v Managed /d N /f
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:shot_screen> Z:${SCREENS_DIR}/shot.png
  DEPENDS shot_screen
  COMMENT "Saving build/screens/shot.png"
  VERBATIM)
add_dependencies(screens shot_screen_png)
