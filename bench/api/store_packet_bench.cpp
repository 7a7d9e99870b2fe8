// The store's processing of a 20-order packet against the JSON layer's plain read of the same objects, in one
// run. Goal: process_packet at least 0.3 as fast as the plain read (plain time / process time >= 0.3).
//   plain_read                 our reader on each object's UTF-8 text, nothing else
//   process_packet_new_orders  the store emptied first: split, read, parse, append every order
//   process_packet_updates     the store holds every order: each update is parsed and merged by copy
// Info lines (each object is logged) are switched off, as is the new-order sound; the GPS service starts no
// search.
#include "api/database.h"
#include "api/json/reader.h"
#include "bench/api/twenty_orders.h"
#include "foundation/logger.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using zel_api::bench::packet;
using zel_api::bench::twenty_orders;

zel_api::database& store() {
    static zel::gps::gps_manager* const service = [] {
        zel::logger::create(zel::logger::warning);
        auto* s = new zel::gps::gps_manager(std::make_unique<zel::gps::manual_fix_source>(),
                                            {std::chrono::milliseconds(1000), /*refresh_thread=*/false});
        zel::gps::gps_manager::set_instance(s);
        return s;
    }();
    (void)service;
    static zel_api::database db([](int) {});
    return db;
}

void plain_read(benchmark::State& state) {
    const packet& p = twenty_orders();
    for (auto _ : state) {
        for (const std::string& text : p.objects) {
            benchmark::DoNotOptimize(zel_api::json::read(text));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
}
BENCHMARK(plain_read);

void process_packet_new_orders(benchmark::State& state) {
    const packet& p = twenty_orders();
    zel_api::database& db = store();
    for (auto _ : state) {
        db.clear_all();
        benchmark::DoNotOptimize(db.process_packet(p.wide));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
}
BENCHMARK(process_packet_new_orders);

void process_packet_updates(benchmark::State& state) {
    const packet& p = twenty_orders();
    zel_api::database& db = store();
    db.clear_all();
    db.process_packet(p.wide);
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.process_packet(p.wide));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.bytes));
}
BENCHMARK(process_packet_updates);

} // namespace
