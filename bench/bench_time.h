// bench_time.h - CPU-time measurement shared by the benchmarks that compare a
// pass with its baseline in the same run.
#pragma once
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

// CPU time of this thread, in microseconds (so that other programs on a busy
// machine do not skew a ratio).
inline double ThreadMicros() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// Median CPU time of reps runs of run, in microseconds.
template <typename F>
double MedianMicros(F run, int reps) {
    std::vector<double> times;
    for (int i = 0; i < reps; i++) {
        double t0 = ThreadMicros();
        benchmark::DoNotOptimize(run());
        times.push_back(ThreadMicros() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
