felidora_bench(monitor_bench MonitorBench.cpp)
