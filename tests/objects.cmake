felidora_test(object_tests
  objects/PlayerInputTest.cpp
  objects/PlayerDamageTest.cpp
  objects/ShotsTest.cpp
  objects/EnemyTest.cpp
  objects/CameraTest.cpp
  objects/MemoryTest.cpp)
