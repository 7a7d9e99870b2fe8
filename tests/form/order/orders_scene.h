// The order screens' tests on the program's own manager: a scene logged in on a test dispatch server that plays
// one of the orders scripts, with the steps of those scripts, the finger on the menu and the list, and looks at
// what the screens drew.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/order/panel_orders_list.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

class orders_scene : public screen_harness {
public:
    orders_scene();
    // Closes the scene before the forwarder goes.
    ~orders_scene() override;

    // Opens the scene on the dispatch script (tests/form/fixtures/NAME) and logs in; the screen is portrait
    // unless given.
    void open_logged_in(const std::string& script, const std::map<std::string, std::string>& values = {},
                        const platform::screen_size& screen = {480, 800, 192});

    // Asks the dispatch server for step n of its script (a "msg-read" of n) and pumps until its answer has been
    // handed to the screens.
    void server_step(int n);

    // From the main menu: taps the cell of the list mode (1 current, 2 preliminary, 3 own orders).
    void open_list(int mode);
    panel_orders_list& list();
    // The "s-id"s of the list's rows, top first.
    std::vector<std::wstring> row_ids();
    // The first lines (pick-up addresses, white and bold) drawn by one whole paint, top first.
    std::vector<std::wstring> shown_addresses();

    // The window's pixel as 0xRRGGBB (after a whole repaint when asked).
    std::uint32_t pixel(int x, int y, bool repaint = true);

    // How many of the controller's masks have been queued at the manager so far.
    size_t forwarded() const {
        return forwarder_.forwarded.load();
    }

    // Pumps until the condition holds; a failure with the server's transcript otherwise.
    ::testing::AssertionResult wait(const std::function<bool()>& done, const std::string& what);

private:
    // Hands the controller's masks on to the manager and counts them once they are queued there: the
    // harness's listener records a mask before it hands it on.
    class counting_forwarder : public controller_::controller_listener {
    public:
        void post_command(const zel_api::update_mask& mask) override;
        manager_2* manager = nullptr;
        std::atomic<size_t> forwarded{0};
        std::atomic<bool> login_result{false};
    };
    counting_forwarder forwarder_;
};

// Readable Russian in the failure messages.
::testing::AssertionResult same_text(const std::wstring& shown, const std::wstring& expected);
std::string joined(const std::vector<std::wstring>& texts);

} // namespace zel::form::test
