// Other threads reach the UI only through post_command, invalidate_rect, repaint and post_to_ui: several of
// them at once while the UI thread dispatches. Built under ThreadSanitizer too (scripts/test).
#include "tests/form/shell_fixture.h"

#include <atomic>
#include <thread>

#include "platform/headless.h"

namespace zel::form::test {
namespace {

TEST_F(shell_fixture, WorkerThreadsPostCommandsAndRepaintsWhileTheUiRuns) {
    build();
    start();
    manager->post_command(mask_of({L"disconnect_global"}));
    run();
    constexpr int threads = 4;
    constexpr int per_thread = 200;
    std::atomic<int> handled{0};
    int ui_calls = 0;
    panel(2).command_hook = [&](const zel_api::update_mask&) { handled.fetch_add(1); };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < per_thread; ++i) {
                manager->post_command(mask_of({L"order"}));
                manager->invalidate_rect(rect{t * 10, i % 700, 50, 50});
                if (i % 50 == 0) {
                    manager->repaint();
                    manager->post_to_ui([&ui_calls] { ++ui_calls; });
                }
            }
        });
    }
    // Safety net only: the UI thread dispatches until every mask has reached the panel.
    for (int turn = 0; turn < 100000 && handled.load() < threads * per_thread; ++turn) {
        run();
        std::this_thread::yield();
    }
    for (auto& w : workers) {
        w.join();
    }
    run();
    EXPECT_EQ(handled.load(), threads * per_thread);
    EXPECT_EQ(ui_calls, threads * (per_thread / 50));
}

} // namespace
} // namespace zel::form::test
