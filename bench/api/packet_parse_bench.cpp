// A realistic packet of 20 orders read three ways in one run: nlohmann's plain DOM parse of each object's
// UTF-8 text (the yardstick), our reader on the same texts, and the whole path through our layer from the
// packet's wide text (split, convert, read, fill the order records). The goal: our layer at least half as
// fast as the plain parse.
#include "api/command/received/order.h"
#include "api/json/reader.h"
#include "api/split_json_objects.h"
#include "bench/api/twenty_orders.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using zel_api::bench::packet;
using zel_api::bench::twenty_orders;

void nlohmann_plain_parse(benchmark::State& state) {
    const packet& p = twenty_orders();
    for (auto _ : state) {
        for (const std::string& text : p.objects) {
            benchmark::DoNotOptimize(nlohmann::json::parse(text));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
    state.SetLabel("yardstick of our_layer_to_order_records");
}
BENCHMARK(nlohmann_plain_parse);

void our_reader(benchmark::State& state) {
    const packet& p = twenty_orders();
    for (auto _ : state) {
        for (const std::string& text : p.objects) {
            benchmark::DoNotOptimize(zel_api::json::read(text));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
    state.SetLabel("no goal of its own: the reader's share of our layer");
}
BENCHMARK(our_reader);

void our_layer_to_order_records(benchmark::State& state) {
    const packet& p = twenty_orders();
    for (auto _ : state) {
        for (const std::wstring& piece : zel_api::split_json_objects(p.wide)) {
            zel_api::command::order record;
            record.from_json(piece);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
    state.SetLabel("goal: bytes_per_second >= 0.5 x nlohmann_plain_parse's");
}
BENCHMARK(our_layer_to_order_records);

} // namespace
