felidora_bench(video_bench VideoBench.cpp)
