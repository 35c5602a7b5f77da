felidora_bench(objects_bench ObjectsBench.cpp)
