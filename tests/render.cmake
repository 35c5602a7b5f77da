felidora_test(render_tests
  ModelImportTest.cpp
  DrawingTest.cpp
  RenderPassTest.cpp)
