felidora_test(game_tests
  GameUpdateTest.cpp
  AutopilotTest.cpp)
target_compile_definitions(game_tests PRIVATE FELIDORA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
