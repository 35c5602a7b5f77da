felidora_test(app_tests
  app/KeyFlagsTest.cpp
  render/ShaderTest.cpp
  app/GameConstructionTest.cpp
  app/RecordingTest.cpp)
