felidora_bench(frame_bench FrameBench.cpp)
