// The manager's own workflow on commands, with a controller of the test's: server messages shown and confirmed
// one at a time against the test dispatch server, and the question about preliminary orders.
#include "tests/form/shell_fixture.h"

#include "controller/controller.h"
#include "form/shell/dialog_request.h"
#include "platform/headless.h"
#include "tests/controller/controller_fixture.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <thread>

namespace zel::form::test {
namespace {

using controller_::controller;

class shell_with_controller : public controller_::test::controller_fixture, public shell_harness {
protected:
    void SetUp() override {
        build();
        shell_harness::start();
        manager->post_command(mask_of({L"disconnect_global"}));
        run();
        take();
    }
    void TearDown() override {
        controller::set_instance(nullptr);
        listener.forward_to(nullptr);
        ctl.reset();
        teardown();
    }
    // The controller of the test, its masks handed on to the manager.
    void start_controller() {
        controller_fixture::start();
        listener.forward_to(manager.get());
        controller::set_instance(ctl.get());
    }
    // Dispatches until the condition holds (a safety net for the peer's answers, not a timing).
    bool run_until(const std::function<bool()>& done) {
        for (int i = 0; i < 3000; ++i) {
            run();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    const dialog_request* shown_dialog() {
        return manager->current_panel() == &panel(-2) ? param_as<dialog_request>(panel(-2).shown) : nullptr;
    }
};

TEST_F(shell_with_controller, MessagesAreShownOneAtATimeEachAfterTheLastWasConfirmed) {
    start_controller();
    auto server = controller_::test::dispatch_server("../../form/fixtures/messages.script");
    add_dispatch_server(server->port());
    log_in();
    ASSERT_TRUE(run_until([&] { return shown_dialog() != nullptr; }));
    EXPECT_EQ(shown_dialog()->text, L"Первое");
    EXPECT_EQ(shown_dialog()->kind, dialog_request::message);

    shown_dialog()->callback(dialog_request::answer_ok);
    EXPECT_EQ(manager->lock_count(), 1); // until the server confirms
    ASSERT_TRUE(run_until([&] { return shown_dialog() && shown_dialog()->text == L"Второе"; }));
    EXPECT_EQ(manager->lock_count(), 0);

    shown_dialog()->callback(dialog_request::answer_ok);
    ASSERT_TRUE(run_until([&] { return manager->lock_count() == 0 && !manager->has_panel(-2); }));
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    controller_::test::expect_script_done(*server);
}

TEST_F(shell_with_controller, AMessageWaitsWhileADialogIsUp) {
    start_controller();
    auto question = std::make_shared<dialog_request>(dialog_request::question, L"Другой вопрос", [](int) {});
    manager->push_panel(-2, question);
    run();
    manager->post_command(ctl->store().process_packet(LR"({"msg":{"id":5,"txt":"Ждёт"}})"));
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{-2, 2}));
    EXPECT_EQ(shown_dialog()->text, L"Другой вопрос");
    manager->pop_panel();
    run();
    // A later "msg" (or the "msg-read" result of the current one) shows it.
    manager->post_command(mask_of({L"msg"}));
    run();
    ASSERT_NE(shown_dialog(), nullptr);
    EXPECT_EQ(shown_dialog()->text, L"Ждёт");
}

TEST_F(shell_with_controller, ASuccessfulLoginStartsOnePreliminaryOrderCheckUntilTheLocalLinkDrops) {
    struct login_step {
        const char* what;
        zel_api::update_mask mask;
        int timer;
    };
    const std::vector<login_step> steps = {
        {"failed login", result_mask(L"login", false), -1}, {"login", result_mask(L"login"), 1},
        {"second login", result_mask(L"login"), 1},         {"lost local link", mask_of({L"disconnect_local"}), -1},
        {"login again", result_mask(L"login"), 1},
    };
    for (const login_step& s : steps) {
        SCOPED_TRACE(s.what);
        manager->post_command(s.mask);
        run();
        EXPECT_EQ(manager->preorder_timer(), s.timer);
    }
}

TEST_F(shell_with_controller, APreliminaryOrderIsAskedAboutOnlyInItsWindow) {
    start_controller();
    const int64_t now_ms = ctl->get_server_clock()->server_now() * 1000;
    struct preorder_case {
        const char* s;
        std::wstring status_and_time;
        bool asked;
    };
    auto ahead = [&](int seconds) { return L"\"s\":6,\"tt\":" + std::to_wstring(now_ms + seconds * 1000LL); };
    const std::vector<preorder_case> cases = {
        {"1740 s ahead", ahead(1740), false},
        {"1741 s ahead", ahead(1741), true},
        {"2099 s ahead", ahead(2099), true},
        {"2100 s ahead", ahead(2100), false},
        {"another status", L"\"s\":5,\"tt\":" + std::to_wstring(now_ms + 1800'000), false},
        {"no time", L"\"s\":6", false},
    };
    int n = 0;
    for (const preorder_case& c : cases) {
        SCOPED_TRACE(c.s);
        const std::wstring id = L"P" + std::to_wstring(++n);
        ctl->store().process_packet(LR"({"order":{"s-id":")" + id +
                                    LR"(","l-type":3,"af":{"t":"Ленина 1","tx":"у входа"},)" + c.status_and_time +
                                    L"}}");
        sounds.clear();
        manager->check_preorders();
        run();
        if (c.asked) {
            ASSERT_NE(shown_dialog(), nullptr);
            EXPECT_EQ(shown_dialog()->kind, dialog_request::question);
            EXPECT_EQ(shown_dialog()->text, L"Подтвердить предварительный заказ: Ленина 1 у входа?");
            EXPECT_EQ(sounds, std::vector<int>{3});
            shown_dialog()->callback(dialog_request::answer_no);
            run();
        } else {
            EXPECT_EQ(shown_dialog(), nullptr);
            EXPECT_TRUE(sounds.empty());
        }
        ctl->store().erase_order(3, id);
    }
}

// Times at the ends of the 64-bit range, the order's or the server's, are only far ahead or far past: nothing
// overflows (the sanitizer tree stops at any overflow) and nothing is asked; the window still holds next to them.
TEST_F(shell_with_controller, APreliminaryOrderAtAnExtremeTimeIsNotAskedAndNothingOverflows) {
    start_controller();
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
    constexpr int64_t highest = std::numeric_limits<int64_t>::max();
    struct extreme_case {
        const char* name;
        // The session's "dt" when set; the order's "tt" from the server's now in ms (after the "dt").
        std::optional<int64_t> dt;
        std::function<int64_t(int64_t now_ms)> tt;
        bool asked;
    };
    const std::vector<extreme_case> cases = {
        {"tt -2^63", {}, [](int64_t) { return lowest; }, false},
        {"tt 2^63 - 1", {}, [](int64_t) { return highest; }, false},
        {"tt -2^63 + 1", {}, [](int64_t) { return lowest + 1; }, false},
        {"server time near -2^63, tt at the limit", lowest + 1000, [](int64_t) { return highest; }, false},
        {"server time near -2^63, tt -2^63", lowest + 1000, [](int64_t) { return lowest; }, false},
        {"server time near 2^63, tt -2^63", highest - 1000, [](int64_t) { return lowest; }, false},
        {"server time near 2^63, tt at the limit", highest - 1000, [](int64_t) { return highest; }, false},
        {"server time near -2^63, tt 1800 s ahead", lowest + 1000, [](int64_t now_ms) { return now_ms + 1800'000; },
         true},
    };
    int n = 0;
    for (const extreme_case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.dt) {
            ctl->store().process_packet(LR"({"session-param":{"dt":)" + std::to_wstring(*c.dt) + L"}}");
        }
        const int64_t now_ms = ctl->get_server_clock()->server_now() * 1000;
        const std::wstring id = L"X" + std::to_wstring(++n);
        ctl->store().process_packet(LR"({"order":{"s-id":")" + id +
                                    LR"(","l-type":3,"af":{"t":"T","tx":"X"},"s":6,"tt":)" +
                                    std::to_wstring(c.tt(now_ms)) + L"}}");
        sounds.clear();
        manager->check_preorders();
        run();
        EXPECT_EQ(shown_dialog() != nullptr, c.asked);
        EXPECT_EQ(sounds.size(), c.asked ? 1u : 0u);
        if (shown_dialog()) {
            shown_dialog()->callback(dialog_request::answer_no);
            run();
        }
        ctl->store().erase_order(3, id);
    }
}

TEST_F(shell_with_controller, OnePassAsksOnceAndAYesLocksUntilTheCommitResult) {
    start_controller();
    auto server = controller_::test::dispatch_server("../../form/fixtures/commit_preorder.script");
    add_dispatch_server(server->port());
    log_in();
    run();
    const int64_t tt = ctl->get_server_clock()->server_now() * 1000 + 1800'000;
    for (const wchar_t* id : {L"A", L"B"}) {
        ctl->store().process_packet(LR"({"order":{"s-id":")" + std::wstring(id) +
                                    LR"(","l-type":3,"af":{"t":"T","tx":"X"},"s":6,"tt":)" + std::to_wstring(tt) +
                                    L"}}");
    }
    manager->check_preorders();
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{-2, 2}));
    EXPECT_EQ(sounds.size(), 1u);
    manager->check_preorders(); // a dialog is up: nothing more
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{-2, 2}));
    shown_dialog()->callback(dialog_request::answer_yes);
    EXPECT_EQ(manager->lock_count(), 1);
    ASSERT_TRUE(run_until([&] { return manager->lock_count() == 0; })); // the "commit-driver" result
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_EQ(listener.results(L"commit-driver"), 1u);
    controller_::test::expect_script_done(*server);
}

} // namespace
} // namespace zel::form::test
