// Time to handle one key, headless: a scripted practice of every problem of a
// bank (two wrong answers, then the accepted one), every key timed from the
// poll that returned it to the next wait for a key, where a window shows its
// effect. Each iteration is a fresh program, so the first drawing of every
// glyph is in the figures. Counters: keys per practice, median, 99th centile
// and worst in wall-clock time, and median and worst in processor time. The
// "/record" runs keep the practice record in a file, as the window does: a row
// appended at the end of every problem.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/pupil.hpp"

namespace {

void practice_of_every_problem(benchmark::State& state) {
    const int bank = static_cast<int>(state.range(0));
    const std::string record = state.range(1) ? "/tmp/varnel-bench-record-" + std::to_string(::getpid()) + ".csv" : "";
    pupil::Pupil pupil;
    std::vector<pupil::KeyTime> all;
    for (auto _ : state) {
        std::vector<pupil::KeyTime> times = pupil.practise(bank, record);
        all.insert(all.end(), times.begin(), times.end());
    }
    if (!record.empty()) std::remove(record.c_str());
    std::vector<double> us, cpu;
    for (const auto& t : all) us.push_back(t.us), cpu.push_back(t.cpu_us);
    std::sort(us.begin(), us.end());
    std::sort(cpu.begin(), cpu.end());
    const auto worst = std::max_element(all.begin(), all.end(), [](auto& a, auto& b) { return a.us < b.us; });
    state.counters["keys"] = static_cast<double>(all.size()) / static_cast<double>(state.iterations());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
    state.counters["worst_us"] = us.back();
    // The same in processor time: what the key cost, whatever else the machine ran.
    state.counters["cpu_median_us"] = cpu[cpu.size() / 2];
    state.counters["cpu_worst_us"] = cpu.back();
    state.SetLabel("worst: " + worst->key + " at " + worst->waited);
}

BENCHMARK(practice_of_every_problem)->Name("key_time/varnel1")->Args({1, 0})->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(practice_of_every_problem)->Name("key_time/varnel1/record")->Args({1, 1})->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(practice_of_every_problem)->Name("key_time/varnel2")->Args({2, 0})->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(practice_of_every_problem)->Name("key_time/varnel2/record")->Args({2, 1})->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
