# One fuzz target per parser of outside data: tests/fuzz/<name>_fuzz.cpp with
# its seed corpus in tests/fuzz/corpus/<name>/. The clang build (`make fuzz`,
# CORVANE_FUZZ) links them with libFuzzer; the ordinary native build links
# them with a replay driver and runs each over its corpus once as a test.
set(FUZZ_TARGETS bridge http icon_info settings start_mode pe ico login_text png update_info)
# The scripted socket defines every call of the socket seam, so the core
# library's real one is never linked in beside it.
set(FUZZ_EXTRA_http tests/fuzz/scripted_socket.cpp)

foreach(name IN LISTS FUZZ_TARGETS)
  set(sources ${CMAKE_SOURCE_DIR}/tests/fuzz/${name}_fuzz.cpp)
  foreach(extra IN LISTS FUZZ_EXTRA_${name})
    list(APPEND sources ${CMAKE_SOURCE_DIR}/${extra})
  endforeach()
  if(CORVANE_FUZZ)
    add_executable(fuzz_${name} ${sources})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(fuzz_${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME fuzz_corpus_${name}
             COMMAND fuzz_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  endif()
  target_link_libraries(fuzz_${name} PRIVATE relabel_core corvane_core)
endforeach()
