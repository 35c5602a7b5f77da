felidora_bench(sound_bench SoundBench.cpp)
