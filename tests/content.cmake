felidora_test(content_tests
  content/ContentGenerationTest.cpp
  content/ContentModelTest.cpp
  content/ContentImageTest.cpp
  content/ContentClipTest.cpp
  content/ContentClearanceTest.cpp)
# The generation test runs the generator itself into fresh folders.
target_compile_definitions(content_tests PRIVATE FELIDORA_CONTENT_GENERATOR="$<TARGET_FILE:ContentGenerator>")
add_dependencies(content_tests ContentGenerator)
