// Parsing a resource library's directory. Goal: a hostile library whose 65,535 type entries all point at one
// name directory of 65,535 entries is refused in well under a second (the walk is capped), and a real skin
// library of two thousand pictures parses in under a millisecond.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/resources/pe_resources.h"
#include "tests/support/fan_out_dll.h"
#include "tools/skin/resource_dll_writer.h"

namespace {

void refuse_fan_out(benchmark::State& state) {
    const auto bytes = zel::test::fan_out_dll(static_cast<std::uint16_t>(state.range(0)));
    for (auto _ : state) {
        std::string error;
        auto parsed = platform::pe_resources::parse(bytes.data(), bytes.size(), error);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetLabel("goal: well under 1000 ms");
}
BENCHMARK(refuse_fan_out)->Arg(1024)->Arg(65535)->Unit(benchmark::kMillisecond);

void parse_skin_library(benchmark::State& state) {
    std::vector<skin_tools::resource_item> items;
    for (std::uint16_t id = 1000; id < 3000; ++id) {
        items.push_back({u"PNG", id, 0, std::vector<std::uint8_t>(64, 1)});
    }
    const auto bytes = skin_tools::write_resource_dll(std::move(items));
    for (auto _ : state) {
        std::string error;
        auto parsed = platform::pe_resources::parse(bytes.data(), bytes.size(), error);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetLabel("goal: under 1000 us");
}
BENCHMARK(parse_skin_library)->Unit(benchmark::kMicrosecond);

} // namespace
