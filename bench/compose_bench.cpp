// Cost of composing one full scale-mode frame in the back buffer, set against a plain fill
// of the same buffer, so the ratio shows what the blocks and picture copies add per frame.
#include "display/backbuffer.h"
#include "display/motion.h"
#include "display/picturelist.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vantrel;

constexpr int AreaWidth = 640;                      // pixels
constexpr int AreaHeight = 480;                     // pixels
constexpr std::uint32_t Background = 0x000000u;     // 0x00RRGGBB
constexpr std::uint32_t Foreground = 0xFF0000u;     // 0x00RRGGBB
constexpr std::uint32_t ReferenceWhite = 0xFFFFFFu; // 0x00RRGGBB
constexpr int Speed = 600;                          // pixels per second
constexpr int Distance = 75;                        // pixels
constexpr int Rate = 60;                            // frames per second

void BM_FillOnly(benchmark::State& state) {
    BackBuffer buffer(AreaWidth, AreaHeight);
    for (auto _ : state) {
        buffer.fill(Background);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillOnly);

// Scale mode with the grid block and the contrast strip both shown: the most a frame draws.
void BM_ComposeScaleFrame(benchmark::State& state) {
    BackBuffer buffer(AreaWidth, AreaHeight);
    TDXImageList pictures;
    pictures.prepare();
    double blockX = 10.0;
    for (auto _ : state) {
        advanceScale(blockX, Speed, Distance, Rate);
        const auto x = static_cast<int>(roundHalfEven(blockX));
        buffer.fill(Background);
        pictures.draw(buffer, Scala, 0, 10);
        buffer.fillRect(x - BlockWidth - Distance, 40, x - Distance, 40 + BlockHeight,
                        ReferenceWhite);
        buffer.fillRect(x, 40, x + BlockWidth, 40 + BlockHeight, Foreground);
        pictures.draw(buffer, Scala, 0, 134);
        pictures.draw(buffer, Muster, x, 164);
        pictures.draw(buffer, Kontrastbild, 0, 300);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeScaleFrame);

// Console output as usual, plus the real time per iteration of each benchmark: the median
// when repetitions were asked for, otherwise the single run.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations <= 0) {
                continue;
            }
            const double perIteration =
                run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations); // ns
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration) {
                single_[name] = perIteration;
            } else if (run.aggregate_name == "median") {
                median_[name] = perIteration;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per iteration, 0 when the benchmark did not run.
    double nanoseconds(const std::string& name) const {
        if (const auto it = median_.find(name); it != median_.end()) {
            return it->second;
        }
        const auto it = single_.find(name);
        return it == single_.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> single_;
    std::map<std::string, double> median_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double fill = reporter.nanoseconds("BM_FillOnly");
    const double compose = reporter.nanoseconds("BM_ComposeScaleFrame");
    if (fill > 0.0 && compose > 0.0) {
        std::printf("fill: %.1f us, compose: %.1f us, compose/fill ratio: %.2f\n", fill / 1000.0,
                    compose / 1000.0, compose / fill);
    }
    return 0;
}
