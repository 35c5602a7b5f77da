# Fuzzing. The checks of each fuzz target live in tests/fuzz/<Name>Fuzz.cpp;
# the normal suite replays every stored input (tests/fuzz/corpus/<target>/ and
# tests/fuzz/regressions/<target>/) through them, and with FELIDORA_FUZZ and
# clang the same checks become libFuzzer binaries (run them with scripts/fuzz.sh).
felidora_test(fuzz_replay_tests
  fuzz/FuzzReplayTest.cpp
  fuzz/CollisionFuzz.cpp
  fuzz/StatusDisplayFuzz.cpp)
target_compile_definitions(fuzz_replay_tests PRIVATE FELIDORA_FUZZ_DIR="${CMAKE_SOURCE_DIR}/tests/fuzz")

if(FELIDORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FELIDORA_FUZZ needs clang: configure with CC=clang CXX=clang++ in a folder of its own")
  endif()
  # The game library is instrumented for coverage and checked by the
  # sanitizers like the targets; everything that links it gets the runtimes.
  set(FELIDORA_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(felidora_core PRIVATE -fsanitize=fuzzer-no-link ${FELIDORA_FUZZ_SANITIZERS})
  target_link_options(felidora_core INTERFACE -fsanitize=address,undefined)

  # felidora_fuzz(<binary> <sources...>): a libFuzzer binary in build/fuzz/.
  function(felidora_fuzz name)
    add_executable(${name} ${ARGN})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${FELIDORA_FUZZ_SANITIZERS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE felidora_core)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endfunction()

  felidora_fuzz(collision_fuzz
    fuzz/CollisionFuzzEntry.cpp
    fuzz/CollisionFuzz.cpp
    support/CollisionReference.cpp)
  felidora_fuzz(status_display_fuzz
    fuzz/StatusDisplayFuzzEntry.cpp
    fuzz/StatusDisplayFuzz.cpp)
endif()
