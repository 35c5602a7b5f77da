# The soak plays the game for FELIDORA_SOAK_MINUTES of game time (1 by
# default). Its place is the sanitizer build: scripts/test.sh runs it there
# after the suite and scripts/sanitize.sh at any length. The normal build only
# compiles it, so the suite does not play the same minutes twice.
if(FELIDORA_SANITIZE)
  felidora_test(soak_tests app/SoakTest.cpp)
else()
  add_executable(soak_tests app/SoakTest.cpp ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(soak_tests PRIVATE felidora_test_support GTest::gtest)
  set_target_properties(soak_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(soak_tests shaders content)
endif()
