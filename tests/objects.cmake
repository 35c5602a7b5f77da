felidora_test(object_tests
  PlayerInputTest.cpp
  PlayerDamageTest.cpp
  ShotsTest.cpp
  EnemyTest.cpp
  CameraTest.cpp
  MemoryTest.cpp)
