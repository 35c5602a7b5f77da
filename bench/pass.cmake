felidora_bench(pass_bench PassBench.cpp)
