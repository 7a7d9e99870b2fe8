// The store's processing of a 20-order packet against the JSON layer's plain read of the same objects, in one
// run. Goal: process_packet at least 0.3 as fast as the plain read (plain time / process time >= 0.3).
//   plain_read                 our reader on each object's UTF-8 text, nothing else
//   process_packet_new_orders  the store emptied first: split, read, parse, append every order
//   process_packet_updates     the store holds every order: each update is parsed and merged by copy
// And the same packet against a store that holds many current orders (200, 2,000, 5,000), to show how the cost
// grows with the orders held. Goal: no growth - at 5,000 held each case costs at most 1.5x its figure at 200.
//   held_updates/N             the 20 orders (spread over the list) updated in a store holding N
//   held_new_and_odel/N        20 new orders added to N held, then one "odel" that deletes them again
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
#include <string>

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
    state.SetLabel("goal: plain_read time / this >= 0.3");
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
    state.SetLabel("goal: plain_read time / this >= 0.3");
}
BENCHMARK(process_packet_updates);

// A store holding n orders of list 1.
zel_api::database& store_holding(int n) {
    zel_api::database& db = store();
    db.clear_all();
    std::string all;
    for (int k = 0; k < n; ++k) {
        all += zel_api::bench::current_order_text(k) + "\r\n";
    }
    db.process_packet(zel::utf8_to_wide(all));
    return db;
}

constexpr const char* growth_goal = "goal: at 5000 held <= 1.5x the figure at 200";

void held_updates(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    zel_api::database& db = store_holding(held);
    std::string utf8;
    for (int k = 0; k < 20; ++k) {
        utf8 += zel_api::bench::current_order_text(k * held / 20 + held / 40) + "\r\n";
    }
    const std::wstring update = zel::utf8_to_wide(utf8);
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.process_packet(update));
    }
    state.SetLabel(growth_goal);
}
BENCHMARK(held_updates)->Arg(200)->Arg(2000)->Arg(5000)->Unit(benchmark::kMicrosecond);

void held_new_and_odel(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    zel_api::database& db = store_holding(held);
    std::string added;
    std::string ids;
    for (int k = 0; k < 20; ++k) {
        added += zel_api::bench::current_order_text(held + k) + "\r\n";
        ids += (k == 0 ? "\"" : ",\"") + std::to_string(180000 + held + k) + "\"";
    }
    const std::wstring add = zel::utf8_to_wide(added);
    const std::wstring remove = zel::utf8_to_wide(R"({"odel":{"l-type":1,"s-ids":[)" + ids + "]}}");
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.process_packet(add));
        benchmark::DoNotOptimize(db.process_packet(remove));
    }
    if (db.get_orders_1().size() != static_cast<size_t>(held)) {
        state.SkipWithError("the odel left orders behind");
    }
    state.SetLabel(growth_goal);
}
BENCHMARK(held_new_and_odel)->Arg(200)->Arg(2000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
