// The panel stack walked step by step: after each step the stack, the CHANGE_PANEL messages posted and the
// show/hide calls the panels received. Then the screens built and laid out for each screen shape.
#include "tests/form/shell_fixture.h"

#include "form/shell/dialog_request.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

int count_lines(const std::string& text, const std::string& line_text) {
    int n = 0;
    for (size_t at = text.find("] : " + line_text + "\n"); at != std::string::npos;
         at = text.find("] : " + line_text + "\n", at + 1)) {
        ++n;
    }
    return n;
}

struct stack_step {
    const char* what;
    std::function<void(manager_2&)> act;
    std::vector<int> stack;
    int posts;
    call_log calls;
};

TEST_F(shell_fixture, StackStepsShowAndHideTheTopPanel) {
    build();
    start();
    take();
    const std::vector<stack_step> steps = {
        {"push with a number",
         [](manager_2& m) { m.push_panel(5, make_number_param(7)); },
         {5, 0},
         1,
         {"show 5 n:7", "show 1"}},
        // The logo is the manager's own panel, not a recording one: its show and hide leave no line.
        {"pop shows the logo again", [](manager_2& m) { m.pop_panel(); }, {0}, 1, {"hide 5 n:7", "show 1"}},
        {"pop on one entry", [](manager_2& m) { m.pop_panel(); }, {0}, 0, {}},
        {"pop to first on one entry", [](manager_2& m) { m.pop_to_first(); }, {0}, 1, {"show 1"}},
        {"two pushes: each change shows the top",
         [](manager_2& m) {
             m.push_panel(6);
             m.push_panel(7);
         },
         {7, 6, 0},
         2,
         {"show 7", "show 1", "hide 7", "show 7", "show 1"}},
        {"quiet pop then push",
         [](manager_2& m) {
             m.pop_to_first_quiet();
             m.push_panel(9);
         },
         {9, 0},
         1,
         {"hide 7", "show 9", "show 1"}},
        {"reset with a text",
         [](manager_2& m) { m.reset_to_panel(30, make_text_param(L"A-1")); },
         {30},
         1,
         {"hide 9", "show 30 t:A-1", "show 1"}},
        {"id 1 shows the main menu",
         [](manager_2& m) { m.push_panel(1); },
         {1, 30},
         1,
         {"hide 30 t:A-1", "show 2", "show 1"}},
        {"id -1 shows the main menu",
         [](manager_2& m) { m.replace_panel(-1); },
         {-1, 30},
         1,
         {"hide 2", "show 2", "show 1"}},
        {"id 40 shows the main menu",
         [](manager_2& m) { m.replace_panel(40); },
         {40, 30},
         1,
         {"hide 2", "show 2", "show 1"}},
        {"back that the panel handles",
         [this](manager_2& m) {
             panel(2).back_answer = 1;
             m.back();
         },
         {40, 30},
         0,
         {"back 2"}},
        {"back that the panel leaves",
         [this](manager_2& m) {
             panel(2).back_answer = 0;
             m.back();
         },
         {30},
         1,
         {"back 2", "hide 2", "show 30 t:A-1", "show 1"}},
        {"back on one entry", [](manager_2& m) { m.back(); }, {30}, 0, {}},
    };
    for (const stack_step& step : steps) {
        SCOPED_TRACE(step.what);
        zel::test::log_capture capture;
        step.act(*manager);
        EXPECT_EQ(stack_ids(), step.stack);
        run();
        EXPECT_EQ(count_lines(capture.text(), "CHANGE_PANEL"), step.posts);
        EXPECT_EQ(take(), step.calls);
    }
    EXPECT_EQ(manager->has_panel(30), 1);
    EXPECT_EQ(manager->has_panel(2), 0);
}

TEST_F(shell_fixture, StartShowsTheLogoWithoutShowingItAndWaitsForTheLogin) {
    build();
    start();
    EXPECT_EQ(stack_ids(), std::vector<int>{0});
    ASSERT_NE(manager->current_panel(), nullptr);
    EXPECT_EQ(manager->current_panel()->panel_id(), 0);
    EXPECT_EQ(manager->current_panel()->own_rect(), (rect{0, 0, 480, 800}));
    EXPECT_NE(manager->get_skin_images(), nullptr);
    EXPECT_TRUE(take().empty());
    // The login servers' exchange is over: the logo makes the main menu the whole stack.
    manager->post_command(mask_of({L"disconnect_global"}));
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_EQ(manager->current_panel()->panel_id(), 2);
    EXPECT_EQ(take(), (call_log{"cmd 1", "show 2", "show 1"}));
}

// Which class a row built, for the twins.
struct built_panel : recording_panel {
    built_panel(manager_2& m, int id, call_log& log, std::string kind) : recording_panel(m, id, log) {
        log.push_back("built " + std::to_string(id) + " " + kind);
    }
};

struct screen_case {
    platform::screen_size screen;
    bool landscape;
    float scale;
    int dpi;
    int bar;
};

TEST(shell_screens, TwinsScaleAndRectanglesFollowTheScreen) {
    const std::vector<screen_case> cases = {
        {{480, 800, 192}, false, 1.0f, 192, 54},
        {{800, 480, 96}, true, 1.0f, 192, 54}, // 800 x 480 is the landscape design size, whatever its DPI
        {{640, 480, 192}, true, 1.0f, 192, 54},
        {{240, 320, 96}, false, 0.5f, 96, 27},
    };
    for (const screen_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.width) + "x" + std::to_string(c.screen.height));
        shell_harness shell;
        auto make = [&shell](int id, std::string kind) {
            return [&shell, id, kind](manager_2& m) {
                auto p = std::make_unique<built_panel>(m, id, shell.log, kind);
                shell.panels[id] = p.get();
                return std::unique_ptr<panel_base>(std::move(p));
            };
        };
        manager_2::panel_table table;
        table.status = make(1, "strip");
        table.lock = make(-1, "overlay");
        table.rows = {{2, make(2, "menu"), nullptr}, {5, make(5, "portrait"), make(5, "landscape")}};
        shell.build(c.screen, std::move(table));
        shell.start();
        EXPECT_EQ(shell.take(), (call_log{"built 1 strip", "built 2 menu",
                                          c.landscape ? "built 5 landscape" : "built 5 portrait", "built -1 overlay"}));
        EXPECT_FLOAT_EQ(shell.manager->get_scale(), c.scale);
        EXPECT_EQ(shell.manager->get_dpi(), c.dpi);
        const rect screen{0, 0, c.screen.width, c.screen.height};
        const int below = static_cast<int>(c.screen.height - 54.0 * c.scale);
        EXPECT_EQ(shell.manager->status_panel()->own_rect(), (rect{0, 0, c.screen.width, c.bar}));
        EXPECT_EQ(shell.manager->panel_for(5)->own_rect(), (rect{0, c.bar, c.screen.width, below}));
        EXPECT_EQ(shell.manager->panel_for(5)->screen_rect(), screen);
        EXPECT_EQ(shell.manager->lock_panel()->own_rect(), screen);
    }
}

} // namespace
} // namespace zel::form::test
