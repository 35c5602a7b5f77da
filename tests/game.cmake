felidora_test(game_tests
  GameUpdateTest.cpp
  AutopilotTest.cpp)
