felidora_test(audio_tests audio/GameAudioTest.cpp)
