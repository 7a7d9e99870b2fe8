// Pushed packets in bursts, from the test dispatch server on loopback to the offer panel's paint, on the program's
// own manager and screens (headless display, default skin, box font), logged in. Each run asks the server with a
// "msg-read" and times from that request to the paint that draws the last offer's pick-up address.
//   twenty_frames_then_offer   20 orders in one write, an offer right behind them.
//                              Goal: the offer painted within 2 s.
//   fifty_offers_in_a_second   50 offers, one every 20 ms.
//                              Goal: the last painted within 3 s.
// The figure is the time of one run (manual time); the goal is printed beside it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

#include "foundation/logger.h"
#include "tests/form/screen_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using zel::form::test::screen_harness;
using zel::form::test::screen_options;
using steady = std::chrono::steady_clock;

// The screens' session clock (DT of the screen harness): offers are due 125 s after it.
constexpr long long session_dt_ms = 1600056300000LL;

std::string offer(int n) {
    const std::string id = "O-" + std::to_string(n);
    return R"({"order-offer":{"s-order-id":")" + id + R"(","deadline-time":)" + std::to_string(session_dt_ms + 125000) +
           R"(,"fineable":0,"reward-rating":3,"order":{"s-id":")" + id + R"(","l-type":1,"af":{"t":"Адрес )" +
           std::to_string(n) + R"("},"msum":150}}})";
}

// A script: the login, then on "msg-read" the pushes.
std::string script(const std::string& pushes) {
    return "expect command containing {\"login\":\n"
           "answer {\"session-param\":{\"dt\":${DT},\"tzo\":${TZO},\"driver-status\":0}}"
           "{\"cmd-result\":{\"cmd-name\":\"login\",\"ok\":1}}\n"
           "expect command containing \"msg-read\"\n"
           "result\n" +
           pushes + "auto\n";
}

void run_burst(benchmark::State& state, const std::string& pushes, const std::wstring& last_address, const char* goal) {
    zel::logger::create(zel::logger::warning);
    zel::test::temp_folder scripts;
    const auto path = scripts.path() / "burst.script";
    std::ofstream(path) << script(pushes);
    for (auto _ : state) {
        screen_harness scene;
        screen_options options;
        options.dispatch_script = path.string();
        scene.open(options);
        scene.log_in();
        scene.clear_texts();
        const auto start = steady::now();
        scene.ctl().msg_read(1);
        const bool painted =
            scene.pump_until([&] { return !scene.find_texts(last_address).empty(); }, std::chrono::seconds(90));
        const std::chrono::duration<double> took = steady::now() - start;
        if (!painted) {
            state.SkipWithError("the last offer was not painted");
            break;
        }
        state.SetIterationTime(took.count());
    }
    state.SetLabel(goal);
}

void twenty_frames_then_offer(benchmark::State& state) {
    const std::string order =
        R"({"order":{"s-id":"B${i}","l-type":1,"st":2,"af":{"t":"ул. Ленина, д. ${i}, подъезд 2","tx":"у аптеки"},)"
        R"("at":[{"t":"Аэропорт Мурманск","tx":"терминал B"}],"i":"Детское кресло, багаж","ttp":0,"s":1,"msum":150,)"
        R"("star":4,"dist-to-driver":300}})";
    run_burst(state, "burst 20 " + order + "\npush " + offer(1) + "\n", L"Адрес 1", "goal: <= 2 s");
}
BENCHMARK(twenty_frames_then_offer)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void fifty_offers_in_a_second(benchmark::State& state) {
    std::string pushes;
    for (int n = 1; n <= 50; ++n) {
        pushes += "push " + offer(n) + "\nsleep 20\n";
    }
    run_burst(state, pushes, L"Адрес 50", "goal: last <= 3 s");
}
BENCHMARK(fifty_offers_in_a_second)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
