#include "foundation/aygshell.h"
#include "foundation/conn_manager.h"
#include "foundation/phone_call.h"
#include "foundation/sms_send.h"
#include "platform/system_services.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(platform_wrappers, without_the_services_everything_is_a_quiet_no_op) {
    int window = 0;
    aygshell* const shell = aygshell::instance();
    EXPECT_EQ(shell, aygshell::instance());
    EXPECT_EQ(shell->init_extra_controls(), 0);
    EXPECT_EQ(shell->full_screen(&window, 0x0002 | 0x0020), 0);
    EXPECT_EQ(shell->handle_wm_activate(&window, 1, 0, nullptr, 0), 0);
    EXPECT_EQ(shell->handle_wm_setting_change(&window, 0, 0, nullptr), 0);
    conn_manager().establish();
    EXPECT_FALSE(sms_send(L"+79990001122", L"1234", false));
    phone_call phone;
    EXPECT_FALSE(phone.is_loaded());
    EXPECT_FALSE(phone.call(L"+79990001122"));
}

// A backend that records what reached it.
struct recording_services : system_services {
    void* window = nullptr;
    uint32_t flags = 0;
    std::wstring url;
    uint32_t timeout_ms = 0;
    std::wstring sms_text;
    bool sms_unicode = true;
    bool phone = false;
    int calls = 0;

    int shell_full_screen(void* w, uint32_t f) override {
        window = w;
        flags = f;
        return 1;
    }
    bool establish_connection(const std::wstring& u, uint32_t t) override {
        url = u;
        timeout_ms = t;
        return true;
    }
    bool send_sms(const std::wstring&, const std::wstring& text, bool unicode) override {
        sms_text = text;
        sms_unicode = unicode;
        return true;
    }
    bool phone_available() override {
        return phone;
    }
    bool make_phone_call(const std::wstring&) override {
        ++calls;
        return true;
    }
};

class installed_services : public ::testing::Test {
protected:
    void SetUp() override {
        system_services::install(&services);
    }
    void TearDown() override {
        system_services::install(nullptr);
    }
    recording_services services;
};

TEST_F(installed_services, calls_reach_the_backend) {
    int window = 0;
    EXPECT_EQ(aygshell::instance()->full_screen(&window, 0x0020), 1);
    EXPECT_EQ(services.window, &window);
    EXPECT_EQ(services.flags, 0x0020u);

    conn_manager().establish();
    EXPECT_EQ(services.url, conn_manager::service_url());
    EXPECT_EQ(services.timeout_ms, 10000u);
}

TEST_F(installed_services, sms_text_is_cut_to_1023_characters) {
    for (size_t length : {0u, 1023u, 1024u, 5000u}) {
        ASSERT_TRUE(sms_send(L"+79990001122", std::wstring(length, L'ж'), false));
        EXPECT_EQ(services.sms_text.size(), std::min<size_t>(length, 1023)) << length;
        EXPECT_FALSE(services.sms_unicode);
    }
}

TEST_F(installed_services, phone_calls_only_when_the_phone_was_found_at_construction) {
    phone_call without;
    services.phone = true;
    phone_call with;
    EXPECT_FALSE(without.call(L"102"));
    EXPECT_EQ(services.calls, 0);
    EXPECT_TRUE(with.is_loaded());
    EXPECT_TRUE(with.call(L"102"));
    EXPECT_EQ(services.calls, 1);
}

} // namespace
} // namespace zel
