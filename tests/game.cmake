felidora_test(game_tests
  app/GameUpdateTest.cpp
  app/AutopilotTest.cpp
  app/PictureTest.cpp)
target_compile_definitions(game_tests PRIVATE FELIDORA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
