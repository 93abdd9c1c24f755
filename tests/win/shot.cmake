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
