// The manager's command queue, input routing, GUI lock and timers, and the panel base's pen rules, through the
// window's own message path on the headless display; then the faults that a shown panel's lifetime invites.
#include "tests/form/shell_fixture.h"

#include "form/controls/control.h"
#include "form/shell/dialog_request.h"
#include "form/shell/panel_base.h"
#include "platform/headless.h"

namespace zel::form::test {
namespace {

namespace headless = platform::headless;

class shell_input : public shell_fixture {
protected:
    void SetUp() override {
        build();
        start();
        manager->post_command(mask_of({L"disconnect_global"})); // off the logo, to the main menu
        run();
        take();
    }
    // Shows panel id with these controls.
    void show_with(int id, std::vector<recording_panel::control_shape> controls) {
        panel(id).controls = std::move(controls);
        manager->push_panel(id);
        run();
        take();
    }
};

TEST_F(shell_input, MasksReachThePanelThenTheStripOnePerMessageInOrder) {
    std::vector<bool> seen_order;
    panel(2).command_hook = [&](const zel_api::update_mask& m) { seen_order.push_back(m.test(L"order")); };
    manager->post_command(mask_of({L"order"}));
    manager->post_command(mask_of({L"msg-del"}));
    run();
    EXPECT_EQ(seen_order, (std::vector<bool>{true, false}));
    EXPECT_EQ(take(), (call_log{"cmd 2", "cmd 1", "cmd 2", "cmd 1"}));
}

TEST_F(shell_input, APanelThrowingFromACommandDoesNotKeepItsMaskAtTheFront) {
    int calls = 0;
    panel(2).command_hook = [&](const zel_api::update_mask&) {
        if (++calls == 1) {
            throw std::runtime_error("broken screen");
        }
    };
    const auto boxes_before = headless::message_boxes().size();
    manager->post_command(mask_of({L"order"}));
    manager->post_command(mask_of({L"shift"}));
    manager->post_command(mask_of({L"car"}));
    run();
    // The throwing mask is dropped; the two behind it are each handled once, by both panels.
    EXPECT_EQ(take(), (call_log{"cmd 2", "cmd 2", "cmd 1", "cmd 2", "cmd 1"}));
    const auto boxes = headless::message_boxes();
    ASSERT_EQ(boxes.size(), boxes_before + 1);
    EXPECT_EQ(boxes.back(), L"NEW_DATA: Error in NEW_DATA");
}

TEST_F(shell_input, NestedLocksIgnoreInputUntilTheLastUnlock) {
    show_with(5, {{"b", {10, 100, 50, 50}}});
    manager->lock();
    manager->lock();
    manager->lock();
    EXPECT_EQ(take(), call_log{"show -1"});
    for (int unlocks = 0; unlocks < 3; ++unlocks) {
        SCOPED_TRACE(unlocks);
        headless::tap(30, 120);
        headless::key_up(VK_RETURN);
        headless::key_up(VK_UP);
        run();
        EXPECT_EQ(take(), call_log{});
        EXPECT_EQ(stack_ids(), (std::vector<int>{5, 2}));
        manager->unlock();
    }
    EXPECT_EQ(take(), call_log{"hide -1"});
    EXPECT_EQ(manager->lock_count(), 0);
    manager->unlock(); // one too many: stays at 0
    EXPECT_EQ(manager->lock_count(), 0);
    headless::tap(30, 120);
    headless::key_up(VK_UP);
    headless::key_down(VK_DOWN);
    run();
    EXPECT_EQ(take(), (call_log{"down b", "up b", "arrow-up 5", "arrow-down 5"}));
    headless::key_up(VK_RETURN); // pops without asking the panel
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
}

TEST_F(shell_input, AwaitedAnswersEndOneLevelOfLock) {
    struct answer_case {
        const char* what;
        zel_api::update_mask mask;
        int left;
    };
    const std::vector<answer_case> cases = {
        {"commit-driver result", result_mask(L"commit-driver"), 1},
        {"failed commit-driver result", result_mask(L"commit-driver", false), 1},
        {"lost local link", mask_of({L"disconnect_local"}), 1},
        {"another command's result", result_mask(L"set-parking"), 2},
        {"result without a record", mask_of({L"cmd-result"}), 2},
    };
    for (const answer_case& c : cases) {
        SCOPED_TRACE(c.what);
        manager->lock();
        manager->lock();
        manager->post_command(c.mask);
        run();
        EXPECT_EQ(manager->lock_count(), c.left);
        while (manager->lock_count() > 0) {
            manager->unlock();
        }
    }
}

TEST_F(shell_input, TimersTakeTheIdAboveTheLargestAndStopWhenKilled) {
    std::vector<int> ticks;
    auto tick = [&](int n) { return [&ticks, n] { ticks.push_back(n); }; };
    EXPECT_EQ(manager->set_timer(1, tick(1)), 1);
    EXPECT_EQ(manager->set_timer(2, tick(2)), 2);
    EXPECT_EQ(manager->set_timer(1, tick(3)), 3);
    manager->kill_timer(2);
    EXPECT_EQ(manager->set_timer(5, tick(4)), 4); // 1 and 3 registered
    manager->kill_timer(4);
    manager->kill_timer(99); // not registered: nothing
    headless::advance(1000);
    run();
    EXPECT_EQ(ticks, (std::vector<int>{1, 3}));
    ticks.clear();
    manager->kill_timer(3);
    PostMessageW(window, WM_TIMER, 3, 0); // a tick that was already on its way
    headless::advance(1000);
    run();
    EXPECT_EQ(ticks, std::vector<int>{1});
    manager->kill_timer(1);
    EXPECT_EQ(manager->set_timer(1, nullptr), 1); // none registered; an empty callback is allowed
    headless::advance(1000);
    run();
}

TEST_F(shell_input, ATimerMayKillItselfFromItsTick) {
    int ticks = 0;
    int id = 0;
    id = manager->set_timer(1, [&] {
        ++ticks;
        manager->kill_timer(id);
    });
    headless::advance(1000);
    run();
    headless::advance(1000);
    run();
    EXPECT_EQ(ticks, 1);
}

TEST_F(shell_input, ThePenGoesToTheStripAloneOverItsControlsElseToBoth) {
    strip().controls = {{"strip-button", {0, 0, 100, 54}}};
    show_with(5, {{"panel-button", {0, 0, 480, 800}}});
    struct pen_case {
        int x, y;
        call_log calls;
    };
    const std::vector<pen_case> cases = {
        {50, 20, {"down strip-button", "up strip-button"}},
        {300, 20, {"down panel-button", "up panel-button"}}, // strip area without a control
        {50, 300, {"down panel-button", "up panel-button"}},
    };
    for (const pen_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        headless::tap(c.x, c.y);
        run();
        EXPECT_EQ(take(), c.calls);
    }
}

TEST_F(shell_input, PanelBasePenRules) {
    struct pen_rule {
        const char* what;
        std::vector<recording_panel::control_shape> controls;
        int x, y;
        call_log calls;
        int hit;
    };
    const std::vector<pen_rule> rules = {
        {"the first added of one layer",
         {{"a", {0, 100, 100, 100}}, {"b", {50, 150, 100, 100}}},
         75,
         175,
         {"down a", "up a"},
         1},
        {"layer 2 over an earlier layer 1",
         {{"low", {0, 100, 100, 100}, 1}, {"top", {50, 150, 100, 100}, 2}},
         75,
         175,
         {"down top", "up top"},
         1},
        {"an invisible control takes nothing", {{"ghost", {0, 100, 100, 100}, 1, false}}, 50, 150, {}, 0},
        {"the left and top edges lie outside", {{"a", {10, 100, 50, 50}}}, 10, 100, {}, 0},
        {"the right and bottom edges lie inside", {{"a", {10, 100, 50, 50}}}, 60, 150, {"down a", "up a"}, 1},
    };
    for (const pen_rule& r : rules) {
        SCOPED_TRACE(r.what);
        show_with(5, r.controls);
        EXPECT_EQ(manager->panel_for(5)->hit_test(r.x, r.y), r.hit);
        headless::tap(r.x, r.y);
        run();
        EXPECT_EQ(take(), r.calls);
        manager->pop_panel();
        run();
        take();
    }
}

// A control that notes when it goes.
class noting_control : public control {
public:
    noting_control(const rect& r, std::string name, std::vector<std::string>& gone)
        : control(nullptr, r), name_(std::move(name)), gone_(gone) {}
    ~noting_control() override {
        gone_.push_back(name_);
    }

private:
    std::string name_;
    std::vector<std::string>& gone_;
};

TEST(panel_base_children, WhatAPanelAddsIsListedAndGoesAtTheClearLastMadeFirst) {
    struct bare_panel : panel_base {
        int panel_id() const override {
            return 99;
        }
    };
    std::vector<std::string> gone;
    {
        bare_panel panel;
        noting_control& low = panel.add<noting_control>(1, rect{0, 0, 100, 100}, "low", gone);
        noting_control& top = panel.add<noting_control>(2, rect{0, 0, 100, 100}, "top", gone);
        EXPECT_EQ(panel.control_count(), 2u);
        EXPECT_EQ(panel.control_at(50, 50, 1), &low);
        EXPECT_EQ(panel.control_at(50, 50, 2), &top);
        panel.on_pen_down(50, 50);
        EXPECT_EQ(panel.captured(), &top);
        panel.clear_controls();
        EXPECT_EQ(gone, (std::vector<std::string>{"top", "low"}));
        EXPECT_EQ(panel.control_count(), 0u);
        EXPECT_EQ(panel.captured(), nullptr);
        // Made again at the next show; a panel that ends while shown takes them with it.
        panel.add<noting_control>(1, rect{0, 0, 10, 10}, "again", gone);
    }
    EXPECT_EQ(gone, (std::vector<std::string>{"top", "low", "again"}));
}

TEST_F(shell_input, ThePressedControlGetsThePenUpWhereverItIsLiftedUntilAPenDownOnNothing) {
    show_with(5, {{"a", {10, 100, 50, 50}}});
    headless::pen_down(30, 120);
    headless::pen_up(400, 700);
    headless::pen_down(400, 700); // empty space: the capture goes
    headless::pen_up(30, 120);
    run();
    EXPECT_EQ(take(), (call_log{"down a", "up a"}));
}

TEST_F(shell_input, AnExceptionFromAPenOrKeyIsReportedAndTheProgramGoesOn) {
    show_with(5, {{"a", {10, 100, 50, 50}}});
    panel(5).made.front()->throws = true;
    const auto before = headless::message_boxes().size();
    headless::tap(30, 120);
    run();
    const auto boxes = headless::message_boxes();
    // The control that threw was never captured, so the pen-up reaches nothing.
    ASSERT_EQ(boxes.size(), before + 1);
    EXPECT_EQ(boxes[before], L"WM_LBUTTONDOWN: Error in WM_LBUTTONDOWN");
    panel(5).made.front()->throws = false;
    take();
    headless::tap(30, 120);
    run();
    EXPECT_EQ(take(), (call_log{"down a", "up a"}));
}

TEST_F(shell_input, APenUpAfterTheControlWasHiddenReachesNothing) {
    struct sequence {
        const char* what;
        std::function<void()> between;
    };
    const std::vector<sequence> sequences = {
        {"down on the panel, switched away and back, up over the panel",
         [&] {
             manager->pop_panel();
             run();
             manager->push_panel(5);
             run();
         }},
        {"down on the panel, locked, switched away and back, unlocked",
         [&] {
             manager->lock();
             manager->replace_panel(6);
             run();
             manager->replace_panel(5);
             run();
             manager->unlock();
             run();
         }},
    };
    for (const sequence& s : sequences) {
        SCOPED_TRACE(s.what);
        show_with(5, {{"a", {10, 100, 50, 50}}});
        headless::pen_down(30, 120);
        run();
        s.between();
        take();
        headless::pen_up(30, 120); // the control that took the pen-down was destroyed by hide
        run();
        EXPECT_EQ(take(), call_log{});
        manager->pop_to_first();
        run();
    }
}

TEST_F(shell_input, ACoveredDialogIsShownAgainWithItsOwnRequest) {
    auto request = std::make_shared<dialog_request>(dialog_request::question, L"Q", [](int) {});
    std::weak_ptr<const dialog_request> watch = request;
    manager->push_panel(-2, std::move(request));
    run();
    manager->push_panel(30); // an offer covers the question
    run();
    manager->pop_panel();
    run();
    EXPECT_EQ(take(), (call_log{"hide 2", "show -2 dialog:Q", "show 1", "hide -2 dialog:Q", "show 30", "show 1",
                                "hide 30", "show -2 dialog:Q", "show 1"}));
    manager->pop_panel();
    EXPECT_FALSE(watch.expired()); // its entry left, but its panel is still shown
    run();
    EXPECT_EQ(take(), (call_log{"hide -2 dialog:Q", "show 2", "show 1"}));
    EXPECT_TRUE(watch.expired());
}

TEST_F(shell_input, ADialogPoppedFromItsOwnCallbackStaysAliveUntilHidden) {
    call_log answers;
    auto request = std::make_shared<dialog_request>(dialog_request::message, L"M", nullptr);
    request->callback = [this, &answers, raw = request.get()](int answer) {
        manager->pop_panel();
        answers.push_back(std::to_string(answer) + " " + std::string(raw->text.begin(), raw->text.end()));
    };
    std::weak_ptr<const dialog_request> watch = request;
    manager->push_panel(-2, std::move(request));
    run();
    // The dialog's "Ok", as its button would call it.
    param_as<dialog_request>(panel(-2).shown)->callback(dialog_request::answer_ok);
    EXPECT_EQ(answers, call_log{"2 M"});
    run();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
}

TEST_F(shell_input, TheLogoTakesNoInput) {
    teardown();
    build();
    start();
    take();
    headless::tap(30, 120);
    headless::key_up(VK_RETURN);
    run();
    EXPECT_EQ(take(), call_log{});
    EXPECT_EQ(manager->current_panel()->panel_id(), 0);
}

} // namespace
} // namespace zel::form::test
