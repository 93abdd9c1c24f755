# The Windows build of the relabel tool, run under Wine on the built program.
add_test(NAME win_ctrlblock_show
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:ctrlblock> show ${CMAKE_BINARY_DIR}/bin/corvane.exe)
set_tests_properties(win_ctrlblock_show PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR}
  PASS_REGULAR_EXPRESSION "TitleName=Dolnrise\r?\n.*BuildFlags=0x14E\r?\n.*PortalHost=127\\.0\\.0\\.1:7251")

add_test(NAME win_ctrlblock_set
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:ctrlblock> set ${CMAKE_BINARY_DIR}/bin/corvane.exe
          -o ${CMAKE_BINARY_DIR}/relabelled.exe DisplayName=梦幻大陆 Cid=123)
add_test(NAME win_ctrlblock_set_show
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:ctrlblock> show ${CMAKE_BINARY_DIR}/relabelled.exe)
add_test(NAME win_ctrlblock_refuses
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:ctrlblock> set ${CMAKE_BINARY_DIR}/bin/corvane.exe
          -o ${CMAKE_BINARY_DIR}/refused.exe Cid=12a)
set_tests_properties(win_ctrlblock_set win_ctrlblock_set_show win_ctrlblock_refuses PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR})
set_tests_properties(win_ctrlblock_set PROPERTIES FIXTURES_SETUP relabelled)
set_tests_properties(win_ctrlblock_set_show PROPERTIES FIXTURES_REQUIRED "wine;relabelled"
  PASS_REGULAR_EXPRESSION "DisplayName=梦幻大陆\r?\n.*Cid=123\r?\n")
set_tests_properties(win_ctrlblock_refuses PROPERTIES WILL_FAIL TRUE)
