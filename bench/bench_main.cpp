// The reporter that gathers each run's figure under its workload, and the running of the benchmarks.
#include "bench_main.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvel::bench {
namespace {

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(const Summary& summary) : summary_(summary) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration;
            if (!single && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            const size_t slash = name.find('/');
            const double figure = summary_.figure(run);
            if (slash == std::string::npos || std::isnan(figure)) continue;
            auto& row = (single ? singles_ : medians_)[name.substr(slash + 1)];
            const auto [it, added] = row.emplace(name.substr(0, slash), figure);
            if (!added) it->second = std::min(it->second, figure);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        summary_.print(singles_.empty() ? medians_ : singles_);
    }

private:
    const Summary& summary_;
    Figures singles_, medians_;
};

}  // namespace

double Figure(const std::map<std::string, double>& workload, const char* benchmark) {
    const auto it = workload.find(benchmark);
    return it == workload.end() ? NAN : it->second;
}

int RunAll(int argc, char** argv, const Summary& summary) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter(summary);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace quorvel::bench
