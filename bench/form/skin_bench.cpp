// The whole skin generator in one process: read the table, draw every picture, check it and encode it as PNG
// (goal: under 5 s in a Release build, so the build stays fast).
#include <benchmark/benchmark.h>

#include "tools/skin/skin_checks.h"
#include "tools/skin/skin_painter.h"
#include "tools/skin/skin_png.h"
#include "tools/skin/skin_table.h"

namespace {

void skin_generator_whole_table(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const skin_tools::skin_table table = skin_tools::skin_table::load(MORVIK_SKIN_TABLE);
        bytes = 0;
        for (const skin_tools::skin_row& row : table.rows()) {
            const skin_tools::skin_canvas canvas = skin_tools::skin_painter::paint(row);
            benchmark::DoNotOptimize(skin_tools::skin_checks::picture(row, canvas));
            bytes += skin_tools::encode_png(canvas, row.alpha).size();
        }
    }
    state.counters["png_bytes"] = static_cast<double>(bytes);
    state.counters["goal_s"] = 5;
    state.SetLabel("goal: under 5 s");
}
BENCHMARK(skin_generator_whole_table)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
