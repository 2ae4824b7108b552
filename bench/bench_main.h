// What every benchmark program here shares: the usual table, then a summary that sets each workload's figures
// side by side, and the running of it all. Benchmarks are named "<benchmark>/<workload>".
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>

namespace quorvel::bench {

// figures[workload][benchmark]: the least figure of each, from single runs where there are any (other load on
// the machine only ever adds time), else from the medians of repetitions.
using Figures = std::map<std::string, std::map<std::string, double>>;

struct Summary {
    // What a run puts in the table; NaN leaves it out.
    std::function<double(const benchmark::BenchmarkReporter::Run&)> figure;
    // Prints the summary of the figures after the table.
    std::function<void(const Figures&)> print;
};

// Registers `function` as "<benchmark>/<workload>", to be called with the state and `args`.
template <typename Function, typename... Args>
benchmark::internal::Benchmark* Register(const char* benchmark, const std::string& workload, Function function,
                                         Args... args) {
    return benchmark::RegisterBenchmark((std::string(benchmark) + "/" + workload).c_str(), function, args...);
}

// A workload's figure of one benchmark; NaN where it did not run.
double Figure(const std::map<std::string, double>& workload, const char* benchmark);

// Runs the benchmarks registered so far, taking Google Benchmark's flags from the command line, then prints
// the summary; main's exit status.
int RunAll(int argc, char** argv, const Summary& summary);

}  // namespace quorvel::bench
