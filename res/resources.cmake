# The program's resources as one object library, `corvane_res`, linked into
# the program and into the Windows tests that need skins or templates. The
# skins are SVG sources (res/skins, drawn by res/skins/draw_skins.py) rendered
# to PNG here; the icons are packed from their renderings.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SKIN_SOURCES
  129-login-background 131-frame-light 132-close 133-button 134-frame-main 135-max
  136-min 137-restore 138-boss 139-tool-menu 140-tabs 141-tab-close 148-sound-off
  149-sound-on 152-progress-track 153-progress-bar 162-banner 164-new-page
  165-close-small 166-refresh 167-screenshot 168-service 169-novice 170-pay
  171-messages 172-account 177-shot-toolbar 178-shot-cancel 179-shot-finish
  180-shot-save
  128-app-16 128-app-24 128-app-32 128-app-48 155-favourite-16 155-favourite-32
  173-shot-cursor-44)
set(RES_OUT ${CMAKE_BINARY_DIR}/res)
file(MAKE_DIRECTORY ${RES_OUT}/skins ${RES_OUT}/icons)

set(SKIN_PNGS)
foreach(name IN LISTS SKIN_SOURCES)
  set(svg ${CMAKE_SOURCE_DIR}/res/skins/${name}.svg)
  set(png ${RES_OUT}/skins/${name}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${RSVG_CONVERT} --format=png -o ${png} ${svg}
    DEPENDS ${svg}
    COMMENT "Rendering skin ${name}"
    VERBATIM)
  list(APPEND SKIN_PNGS ${png})
endforeach()

# corvane_icon(<output.ico> <rendering names>...)
function(corvane_icon output)
  set(pngs)
  foreach(name IN LISTS ARGN)
    list(APPEND pngs ${RES_OUT}/skins/${name}.png)
  endforeach()
  add_custom_command(OUTPUT ${RES_OUT}/icons/${output}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/res/skins/make_ico.py ${RES_OUT}/icons/${output} ${pngs}
    DEPENDS ${pngs} ${CMAKE_SOURCE_DIR}/res/skins/make_ico.py
    COMMENT "Packing icon ${output}"
    VERBATIM)
endfunction()
corvane_icon(app.ico 128-app-16 128-app-24 128-app-32 128-app-48)
corvane_icon(favourite.ico 155-favourite-16 155-favourite-32)
corvane_icon(shot-cursor.ico 173-shot-cursor-44)
set(RES_ICONS ${RES_OUT}/icons/app.ico ${RES_OUT}/icons/favourite.ico ${RES_OUT}/icons/shot-cursor.ico)

set(RES_SCRIPTS
  ${CMAKE_SOURCE_DIR}/res/corvane.rc
  ${CMAKE_SOURCE_DIR}/res/dialogs.rc
  ${CMAKE_SOURCE_DIR}/res/skins.rc
  ${CMAKE_SOURCE_DIR}/res/resource.h
  ${CMAKE_SOURCE_DIR}/res/corvane.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/corvane.rc PROPERTIES
  OBJECT_DEPENDS "${SKIN_PNGS};${RES_ICONS};${RES_SCRIPTS}")
add_library(corvane_res OBJECT ${CMAKE_SOURCE_DIR}/res/corvane.rc ${SKIN_PNGS} ${RES_ICONS})
target_include_directories(corvane_res PRIVATE ${RES_OUT} ${CMAKE_SOURCE_DIR}/res)
