felidora_bench(render_bench RenderBench.cpp)
