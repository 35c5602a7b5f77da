felidora_test(app_tests
  KeyFlagsTest.cpp
  ShaderTest.cpp
  GameConstructionTest.cpp
  RecordingTest.cpp)
