# Windows build (MinGW-w64): corvane.exe, ctrlblock.exe and the Windows tests,
# which CTest runs under Wine through scripts/wine-run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Static runtime: the program is one file that runs without MinGW DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

set(CORVANE_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Cross-built libraries (scripts/install-deps)")

# Libraries the Windows layer links against; later units append to it.
set(CORVANE_WIN_LIBS user32 gdi32 comctl32 ole32 oleaut32 uuid shell32 shlwapi advapi32
    wininet ws2_32 iphlpapi msimg32 gdiplus winmm version z)

add_library(corvane_core STATIC ${CORE_PORTABLE} ${CORE_WIN})
target_link_libraries(corvane_core PUBLIC ${CORVANE_WIN_LIBS})

add_library(jsoncpp_win STATIC IMPORTED)
set_target_properties(jsoncpp_win PROPERTIES
  IMPORTED_LOCATION ${CORVANE_DEPS_DIR}/jsoncpp-win/lib/libjsoncpp.a
  INTERFACE_INCLUDE_DIRECTORIES ${CORVANE_DEPS_DIR}/jsoncpp-win/include)
target_link_libraries(corvane_core PUBLIC jsoncpp_win)

# The relabel tool built for this machine: the build writes control blocks with it.
include(ExternalProject)
set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(HOST_CTRLBLOCK ${HOST_TOOLS_DIR}/bin/ctrlblock)
ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${HOST_TOOLS_DIR}
  CMAKE_ARGS -DCORVANE_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
  # $(MAKE) lets the sub-build share the outer make's job slots. The
  # release (scripts/release) runs both tools from here.
  BUILD_COMMAND $(MAKE) ctrlblock updatesign
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${HOST_CTRLBLOCK} ${HOST_TOOLS_DIR}/bin/updatesign)

# corvane_relabel(<target> <output> PROFILE <file> | SET <Slot=value>...)
# Links <target> to an unlabelled file and writes <output> with its block filled.
function(corvane_relabel target output)
  cmake_parse_arguments(ARG "" "PROFILE" "SET" ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/unlabelled)
  if(ARG_PROFILE)
    set(edit apply $<TARGET_FILE:${target}> ${ARG_PROFILE} -o ${output})
  else()
    set(edit set $<TARGET_FILE:${target}> -o ${output} ${ARG_SET})
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${HOST_CTRLBLOCK} ${edit}
    DEPENDS ${target} host_tools ${ARG_PROFILE}
    COMMENT "Writing the control block of ${output}"
    VERBATIM)
  add_custom_target(${target}_labelled ALL DEPENDS ${output})
endfunction()

include(${CMAKE_SOURCE_DIR}/res/resources.cmake)
add_executable(corvane WIN32 ${APP_WIN})
target_link_libraries(corvane PRIVATE corvane_core corvane_res)
# Sections aligned to pages in the file as in memory: Wine maps such an image
# straight from the file instead of reading it section by section, which is
# time the user waits for at every start. A release build also drops the
# debugging sections the static runtime brings, which would be loaded too.
target_link_options(corvane PRIVATE -municode -Wl,--file-alignment=4096 $<$<CONFIG:Release>:-s>)
corvane_relabel(corvane ${CMAKE_BINARY_DIR}/bin/corvane.exe PROFILE ${CMAKE_SOURCE_DIR}/res/builds/reference.build)

add_executable(ctrlblock ${RELABEL_PORTABLE}
  ${CMAKE_SOURCE_DIR}/relabel/ctrlblock_main_win.cpp
  ${CMAKE_SOURCE_DIR}/relabel/file_replace_win.cpp)
target_link_libraries(ctrlblock PRIVATE corvane_core)
target_link_options(ctrlblock PRIVATE -municode)

# Windows tests: each program is one CTest test, one Wine start.
enable_testing()
foreach(lib gtest gtest_main gmock)
  add_library(${lib}_win STATIC IMPORTED)
  set_target_properties(${lib}_win PROPERTIES
    IMPORTED_LOCATION ${CORVANE_DEPS_DIR}/gtest-win/lib/lib${lib}.a
    INTERFACE_INCLUDE_DIRECTORIES ${CORVANE_DEPS_DIR}/gtest-win/include)
endforeach()

set(WINE_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
add_test(NAME wine_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run --start)
add_test(NAME wine_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run --stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR})
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR})

# corvane_win_test(<name> SOURCES <files>... [RELABEL <Slot=value>...])
# RELABEL writes those slots into the test program's own control block.
function(corvane_win_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;RELABEL" ${ARGN})
  list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE corvane_core gmock_win gtest_win gtest_main_win)
  target_compile_definitions(${name} PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(program $<TARGET_FILE:${name}>)
  if(ARG_RELABEL)
    set(program ${CMAKE_BINARY_DIR}/bin/${name}.exe)
    corvane_relabel(${name} ${program} SET ${ARG_RELABEL})
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run ${program})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT CORVANE_WINE_DIR=${WINE_STATE_DIR} TIMEOUT 300)
endfunction()

foreach(folder IN LISTS CORVANE_FOLDERS)
  include(tests/win/${folder}.cmake OPTIONAL)
endforeach()
include(tests/e2e/e2e.cmake)

include(${CMAKE_SOURCE_DIR}/tests/bench/bench.cmake)
