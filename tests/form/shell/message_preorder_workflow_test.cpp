// The manager's own dialogs on the program's screens, against the test dispatch server: each answer concerns
// the message or the preliminary order that its dialog shows, whatever was asked or shown meanwhile, and one
// message is never on the stack twice. The driver answers with the pen; the tests check exactly what reached
// the server.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command_names.h"
#include "form/controls/frame_text_button.h"
#include "form/order/offer_take_button.h"
#include "form/shell/dialog_request.h"
#include "form/shell/message_preorder_workflow.h"
#include "form/shell/panel_dialog_gui.h"
#include "tests/form/order/offer_scene.h"

namespace zel::form::test {
namespace {

constexpr int dialog_id = manager_2::dialog_id;
constexpr int offer_id = 30;

class dialog_workflow_screen : public ::testing::Test, public offer_scene {
protected:
    panel_dialog_gui& dialog() {
        return *static_cast<panel_dialog_gui*>(manager->panel_for(dialog_id));
    }
    // The text of the dialog on the screen; empty when none is current.
    std::wstring shown_dialog() {
        if (current_panel_id() != dialog_id || !dialog().request()) {
            return L"";
        }
        return dialog().request()->text;
    }
    // What the server received, the logins left out.
    std::vector<std::string> received_after_login() const {
        std::vector<std::string> sent;
        for (const std::string& payload : received()) {
            if (payload.rfind(R"({"login":)", 0) != 0) {
                sent.push_back(payload);
            }
        }
        return sent;
    }
};

// A is asked about; an offer covers the question; the next check asks about B over the offer. The driver says
// "Нет" to B and takes the offer, and A's question shows again: its "Да" confirms A.
TEST_F(dialog_workflow_screen, AQuestionCoveredByAnOfferConfirmsItsOwnOrder) {
    const int64_t checks = message_preorder_workflow::check_period_s;
    // At the first check A is 1745 s ahead and asked about first; at the second it has left the window (1735 s)
    // while B (1780 s) is in it.
    offer_record offer;
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/preorder_offer.script";
    options.values = {{"A_TT", std::to_string(session_dt_ms + (1745 + checks) * 1000)},
                      {"B_TT", std::to_string(session_dt_ms + 1800'000)},
                      {"OFFER", offer.json()},
                      {"ID", offer.id}};
    open(options);
    ASSERT_NO_FATAL_FAILURE(log_in());

    advance(std::chrono::seconds(checks));
    EXPECT_EQ(shown_dialog(), L"Подтвердить предварительный заказ: Ленина 1 у входа?");
    EXPECT_EQ(stack_ids(), (std::vector<int>{dialog_id, 2}));

    cue();
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == offer_id; })) << dispatch_server->transcript();
    advance(std::chrono::seconds(checks));
    EXPECT_EQ(shown_dialog(), L"Подтвердить предварительный заказ: Мира 5 во дворе?");
    EXPECT_EQ(stack_ids(), (std::vector<int>{dialog_id, offer_id, dialog_id, 2}));

    tap(*dialog().no_button());
    ASSERT_EQ(current_panel_id(), offer_id);
    tap(*offer_panel().take_button());
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == dialog_id && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    EXPECT_EQ(shown_dialog(), L"Подтвердить предварительный заказ: Ленина 1 у входа?");
    tap(*dialog().yes_button());
    ASSERT_TRUE(pump_until([&] { return listener.results(zel_api::commit_driver_name()) == 1; }))
        << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    zel::test::expect_script_done(*dispatch_server);
    EXPECT_EQ(received_after_login(), (std::vector<std::string>{R"({"set-option":{"key":1022,"value":"1"}})",
                                                                R"({"order-offer-accept":{"s-order-id":"O-1"}})",
                                                                R"({"commit-driver":{"s-oid":"A"}})"}));
}

// Message 11 is withdrawn while shown: its "Ok" confirms nothing and brings 12. The answer to 12's "msg-read"
// brings 13 with the result in one packet: 13 is shown once, and its "Ok" confirms 13.
TEST_F(dialog_workflow_screen, EachMessageDialogConfirmsTheMessageItShowsAndShowsOnce) {
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/messages_withdrawn.script";
    open(options);
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_TRUE(pump_until([&] { return shown_dialog() == L"Первое"; })) << dispatch_server->transcript();

    cue();
    ASSERT_TRUE(pump_until([&] { return ctl().get_messages().size() == 1; })) << dispatch_server->transcript();
    EXPECT_EQ(shown_dialog(), L"Первое");
    tap(*dialog().ok_button());
    EXPECT_EQ(shown_dialog(), L"Второе");
    EXPECT_EQ(manager->lock_count(), 0); // nothing was confirmed

    tap(*dialog().ok_button());
    ASSERT_TRUE(pump_until([&] { return shown_dialog() == L"Третье" && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    EXPECT_EQ(stack_ids(), (std::vector<int>{dialog_id, 2})) << "one dialog for one message";

    tap(*dialog().ok_button());
    ASSERT_TRUE(pump_until([&] {
        return listener.results(zel_api::msg_read_name()) == 2 && manager->lock_count() == 0;
    })) << dispatch_server->transcript();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    zel::test::expect_script_done(*dispatch_server);
    EXPECT_EQ(received_after_login(),
              (std::vector<std::string>{R"({"set-option":{"key":1022,"value":"1"}})", R"({"msg-read":{"id":12}})",
                                        R"({"msg-read":{"id":13}})"}));
}

} // namespace
} // namespace zel::form::test
