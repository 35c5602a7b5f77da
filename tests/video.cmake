felidora_test(video_tests monitor/VideoPlaybackTest.cpp)
