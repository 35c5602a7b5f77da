felidora_test(content_tests
  ContentGenerationTest.cpp
  ContentModelTest.cpp
  ContentImageTest.cpp
  ContentClipTest.cpp
  ContentClearanceTest.cpp)
# The generation test runs the generator itself into fresh folders.
target_compile_definitions(content_tests PRIVATE FELIDORA_CONTENT_GENERATOR="$<TARGET_FILE:ContentGenerator>")
add_dependencies(content_tests ContentGenerator)
