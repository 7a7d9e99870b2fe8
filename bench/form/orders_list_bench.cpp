// The current orders list (mode 1) on the program's own manager and screens (headless display, default skin,
// box font), logged in on the test dispatch server, while the store holds 200, 2,000 and 5,000 current orders.
// One case: an update of the newest order arrives - the store takes the packet, the manager hands the mask to the
// list, the list builds its rows again and the view repaints.
// Goal: with 5,000 orders held, the repaint done within 10 ms of the packet's arrival.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/api/twenty_orders.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "tests/form/order/orders_scene.h"

namespace {

using zel::form::test::orders_scene;

void order_update_repaint(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    zel::logger::create(zel::logger::warning);
    orders_scene scene;
    scene.open_logged_in("orders_many.script");
    std::string all;
    for (int n = 0; n < held; ++n) {
        all += zel_api::bench::current_order_text(n) + "\r\n";
    }
    scene.manager->post_command(scene.ctl().store().process_packet(zel::utf8_to_wide(all)));
    scene.run();
    scene.open_list(1);
    if (scene.list().rows().size() != static_cast<size_t>(held)) {
        state.SkipWithError("the list does not show every order");
        return;
    }
    // The newest order (the top row) sent again with another minimum sum, in turn.
    const std::string id = std::to_string(180000 + held - 1);
    const std::wstring updates[2] = {
        zel::utf8_to_wide(R"({"order":{"s-id":")" + id + R"(","l-type":1,"ttp":0,"msum":777}})"),
        zel::utf8_to_wide(R"({"order":{"s-id":")" + id + R"(","l-type":1,"ttp":0,"msum":888}})")};
    int turn = 0;
    for (auto _ : state) {
        scene.manager->post_command(scene.ctl().store().process_packet(updates[turn]));
        scene.run();
        turn = 1 - turn;
    }
    scene.text_log.clear();
    scene.manager->post_command(scene.ctl().store().process_packet(updates[turn]));
    scene.run();
    if (scene.find_texts(turn == 0 ? L"777" : L"888").empty()) {
        state.SkipWithError("the update was not painted");
    }
    state.SetLabel("goal: <= 10 ms at 5000 held");
}
BENCHMARK(order_update_repaint)->Arg(200)->Arg(2000)->Arg(5000)->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace
