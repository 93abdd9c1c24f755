string(REPEAT "v" 255 full_slot)
corvane_win_test(win_ctrl_block_test
  SOURCES tests/win/ctrl_block_win_test.cpp relabel/pe_image.cpp
  RELABEL DisplayName=梦幻大陆 TitleName=梦幻大陆 ClientVersion=${full_slot} BuildFlags=0x14E
          GameCode=doln ExitPageUrl=)
target_link_libraries(win_ctrl_block_test PRIVATE imagehlp)
