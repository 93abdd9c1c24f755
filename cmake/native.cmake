# Native (Linux) build: the portable core, the relabel tool and the native tests.
if(CORVANE_SANITIZE AND NOT CORVANE_TOOLS_ONLY)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzz build (clang): every library instrumented for libFuzzer's coverage,
# only the fuzz targets built on top.
option(CORVANE_FUZZ "Build the fuzz targets with clang's libFuzzer" OFF)
if(CORVANE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(corvane_core STATIC ${CORE_PORTABLE} ${CORE_NATIVE})
# Debian's libjsoncpp-dev: the portal's icon description is parsed with it.
find_package(jsoncpp REQUIRED CONFIG)
# zlib inflates the skins' PNG data (Debian's zlib1g-dev; the Windows build
# links libz-mingw-w64-dev's static library).
find_package(ZLIB REQUIRED)
target_link_libraries(corvane_core PUBLIC JsonCpp::JsonCpp ZLIB::ZLIB)

add_library(relabel_core STATIC ${RELABEL_PORTABLE} ${CMAKE_SOURCE_DIR}/relabel/file_replace_posix.cpp)
target_link_libraries(relabel_core PUBLIC corvane_core)

add_executable(ctrlblock ${CMAKE_SOURCE_DIR}/relabel/ctrlblock_main.cpp)
target_link_libraries(ctrlblock PRIVATE relabel_core)

# Debian's libssl-dev: the release tool's keys and signatures.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
add_library(release_core STATIC ${RELEASE_NATIVE})
target_link_libraries(release_core PUBLIC relabel_core OpenSSL::Crypto)
add_executable(updatesign ${CMAKE_SOURCE_DIR}/relabel/updatesign_main.cpp)
target_link_libraries(updatesign PRIVATE release_core)

if(CORVANE_FUZZ)
  include(tests/fuzz/fuzz.cmake)
elseif(NOT CORVANE_TOOLS_ONLY)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  # The Windows build's outputs that native tests read (the built program).
  set(CORVANE_WIN_BIN ${CMAKE_SOURCE_DIR}/build/win/bin CACHE PATH "Windows build output folder")
  set(NATIVE_TESTS)
  foreach(folder IN LISTS CORVANE_FOLDERS)
    include(tests/native/${folder}.cmake OPTIONAL)
  endforeach()
  include(tests/native/scripts.cmake)
  list(TRANSFORM NATIVE_TESTS PREPEND ${CMAKE_SOURCE_DIR}/)
  add_executable(native_tests ${NATIVE_TESTS})
  target_link_libraries(native_tests PRIVATE release_core relabel_core corvane_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(native_tests PRIVATE
    CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVANE_WIN_BIN="${CORVANE_WIN_BIN}"
    CORVANE_NATIVE_BIN="${CMAKE_BINARY_DIR}/bin")
  add_dependencies(native_tests ctrlblock updatesign)
  gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)
  include(tests/fuzz/fuzz.cmake)
endif()
