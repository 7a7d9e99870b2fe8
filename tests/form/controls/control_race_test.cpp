// The strip's state buttons are switched by the power and GPS threads while the UI thread paints them. Built
// under ThreadSanitizer too (scripts/test).
#include <atomic>
#include <thread>

#include "form/controls/state_button.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "platform/headless.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

class control_race : public control_scene {};

TEST_F(control_race, state_set_from_a_worker_while_the_ui_paints) {
    state_button* battery = nullptr;
    open({240, 320, 96}, [&](host_panel& host, manager_2& form) {
        battery = host.own(std::make_unique<state_button>(&form, rect{10, 40, 40, 40}, nullptr));
        for (int key = 0; key < 4; ++key) {
            battery->set_state_image(key, form.get_skin_images()->get_image_by_id(1017 + key));
        }
    });
    constexpr int steps = 2000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < steps; ++i) {
            battery->set_state(i % 6); // keys 4 and 5 have no picture
        }
        battery->set_state(2);
        done.store(true);
    });
    // Safety net only: the UI thread keeps painting until the worker has finished.
    for (int turn = 0; turn < 1000000 && !done.load(); ++turn) {
        manager->invalidate_rect(rect{10, 40, 40, 40});
        run();
    }
    worker.join();
    run();
    EXPECT_EQ(battery->state(), 2);
}

} // namespace
} // namespace zel::form::test
