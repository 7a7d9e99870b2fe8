// The message dialog with the panel manager: both kinds, sounds, one answer per tap, an empty callback, Enter,
// a covering panel, its layout on small screens and with tall texts, and its golden pictures.
#include <gtest/gtest.h>

#include "form/controls/frame_text_button.h"
#include "form/controls/image_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/text_label.h"
#include "form/shell/dialog_request.h"
#include "form/shell/panel_dialog_gui.h"
#include "platform/headless.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

class dialog_scene : public control_scene {
protected:
    // Pushes the dialog; its callback records the answer and, unless told otherwise, pops it.
    std::shared_ptr<dialog_request> ask(int kind, const std::wstring& text, bool pops = true, bool callback = true) {
        std::function<void(int)> on_answer;
        if (callback) {
            on_answer = [this, pops](int a) {
                answers.push_back(a);
                if (pops) {
                    manager->pop_panel();
                }
            };
        }
        auto request = std::make_shared<dialog_request>(kind, text, on_answer);
        manager->push_panel(manager_2::dialog_id, request);
        run();
        return request;
    }
    void tap_button(frame_text_button* b) {
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->is_visible());
        const rect r = b->get_rect();
        tap(r.x + r.w / 2, r.y + r.h / 2);
    }
    std::vector<int> answers;
};

TEST_F(dialog_scene, a_message_has_ok_and_sounds_at_every_show) {
    open({480, 800, 192}, nullptr);
    sounds.clear();
    ask(dialog_request::message, L"Привет");
    EXPECT_EQ(sounds, std::vector<int>{3});
    EXPECT_EQ(dialog->title()->text(), L"Сообщение");
    EXPECT_TRUE(dialog->ok_button()->is_visible());
    EXPECT_FALSE(dialog->yes_button()->is_visible());
    EXPECT_FALSE(dialog->no_button()->is_visible());
    EXPECT_TRUE(dialog->icon()->is_visible());
    tap_button(dialog->ok_button());
    EXPECT_EQ(answers, std::vector<int>{2});
    EXPECT_EQ(stack_ids().front(), 5);
}

TEST_F(dialog_scene, a_question_answers_yes_or_no_once_per_tap_and_is_silent) {
    struct answer_case {
        bool yes;
        int answer;
    };
    for (const answer_case c : {answer_case{true, 1}, answer_case{false, 0}}) {
        open({480, 800, 192}, nullptr);
        sounds.clear();
        answers.clear();
        ask(dialog_request::question, L"Подтвердить?", false);
        EXPECT_TRUE(sounds.empty());
        EXPECT_EQ(dialog->title()->text(), L"Внимание");
        EXPECT_FALSE(dialog->ok_button()->is_visible());
        tap_button(c.yes ? dialog->yes_button() : dialog->no_button());
        EXPECT_EQ(answers, std::vector<int>{c.answer});
        tap_button(c.yes ? dialog->yes_button() : dialog->no_button());
        EXPECT_EQ(answers, (std::vector<int>{c.answer, c.answer}));
        teardown();
    }
}

TEST_F(dialog_scene, an_empty_callback_leaves_the_box_up) {
    open({480, 800, 192}, nullptr);
    ask(dialog_request::question, L"Подтвердить?", true, false);
    tap_button(dialog->yes_button());
    tap_button(dialog->no_button());
    EXPECT_EQ(stack_ids().front(), manager_2::dialog_id);
    ASSERT_NE(dialog->request(), nullptr);
}

TEST_F(dialog_scene, enter_pops_without_an_answer) {
    open({480, 800, 192}, nullptr);
    ask(dialog_request::message, L"Привет");
    platform::headless::key_up(VK_RETURN);
    run();
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(stack_ids().front(), 5);
}

TEST_F(dialog_scene, a_covered_box_is_shown_again_with_its_request) {
    open({480, 800, 192}, nullptr);
    sounds.clear();
    auto request = ask(dialog_request::message, L"Первое");
    manager->push_panel(6);
    run();
    EXPECT_EQ(dialog->request(), nullptr);
    manager->pop_panel();
    run();
    EXPECT_EQ(dialog->request(), request.get());
    EXPECT_EQ(sounds, (std::vector<int>{3, 3}));
    tap_button(dialog->ok_button());
    EXPECT_EQ(answers, std::vector<int>{2});
}

TEST_F(dialog_scene, box_keeps_a_margin_inside_the_work_area) {
    struct screen_case {
        platform::screen_size screen;
        int m;
    };
    std::wstring long_text;
    for (int i = 0; i < 200; ++i) {
        long_text += L"слово ";
    }
    for (const screen_case c : {screen_case{{480, 800, 192}, 10}, screen_case{{240, 320, 96}, 5}}) {
        for (const std::wstring& text : {std::wstring(L"Коротко"), long_text}) {
            open(c.screen, nullptr);
            ask(dialog_request::message, text);
            const rect own = dialog->own_rect();
            const rect top = dialog->frame_piece(2)->get_rect();
            const rect bottom = dialog->frame_piece(0)->get_rect();
            const rect middle = dialog->frame_piece(1)->get_rect();
            EXPECT_GE(top.y, own.y + c.m - 1) << c.screen.width;
            // The bottom piece is placed half its height lower than the box's height says, as designed.
            EXPECT_LE(bottom.y + bottom.h, own.y + own.h - c.m + bottom.h / 2) << c.screen.width;
            EXPECT_EQ(middle.y, top.y + top.h);
            EXPECT_EQ(middle.y + middle.h, bottom.y);
            EXPECT_EQ(top.w, own.w - 2 * c.m);
            const rect ok = dialog->ok_button()->get_rect();
            EXPECT_GE(ok.y, top.y);
            EXPECT_LE(ok.y + ok.h, bottom.y + bottom.h);
            if (text == long_text) {
                EXPECT_GE(dialog->body()->max_height(), 0);
                EXPECT_LE(dialog->body()->get_rect_c().y + dialog->body()->max_height(), bottom.y + bottom.h);
            } else {
                EXPECT_EQ(dialog->body()->max_height(), -1);
            }
            teardown();
        }
    }
}

TEST_F(dialog_scene, tall_frame_pictures_on_a_small_screen_leave_no_room_for_the_text) {
    // A bottom piece 600 high (300 on this screen) and icons of 48: nothing is left for the text.
    skin_.write_library("skin_black_help", {{2019, zel::test::solid_png(40, 600, 0xFF26202C)},
                                            {2020, zel::test::solid_png(40, 4, 0xFF262C34)},
                                            {2021, zel::test::solid_png(40, 20, 0xFF2C2634)},
                                            {2022, zel::test::solid_png(48, 48, 0xFF646464)},
                                            {2023, zel::test::solid_png(48, 48, 0xFF1A5EBB)},
                                            {2024, zel::test::solid_png(48, 48, 0xFFE37512)}});
    open({240, 320, 96}, nullptr);
    ask(dialog_request::message, L"Текст, которому нет места");
    EXPECT_EQ(dialog->body()->max_height(), 0);
    int w = 0, h = 0;
    const auto before = platform::headless::window_pixels(window, w, h);
    dialog->body()->set_text(L"Текст, которому нет места, и ещё немного");
    run();
    EXPECT_EQ(platform::headless::window_pixels(window, w, h), before) << "the body must draw nothing";
}

TEST_F(dialog_scene, both_kinds_match_their_goldens) {
    for (int kind : {dialog_request::message, dialog_request::question}) {
        open({240, 320, 96}, nullptr);
        ask(kind, L"Вас ждут у подъезда номер два, машина белая");
        EXPECT_EQ(golden(kind == dialog_request::message ? "dialog_message" : "dialog_question"), "");
        teardown();
    }
}

} // namespace
} // namespace zel::form::test
