#include "tests/form/order/ride_scene.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "api/command_names.h"
#include "foundation/device_info.h"
#include "gps/manual_fix_source.h"
#include "platform/text.h"
#include "tests/support/dispatch_peer.h"

namespace zel::form::test {

namespace fs = std::filesystem;

ride_scene::ride_scene()
    : gps_service_(controller_::test::new_fix_source(fix_source_), {std::chrono::milliseconds(1000), false}) {}

ride_scene::~ride_scene() = default;

void ride_scene::SetUp() {
    box_was_ = platform::box_font();
    platform::set_box_font(true);
    // The built default skin, as the program finds it beside itself.
    fs::create_directory_symlink(MORVIK_SKIN_DIR, skin_.path() / "skin");
    platform::set_text_recorder(&text_log);
}

void ride_scene::TearDown() {
    if (ctl) {
        controller_::controller::set_instance(nullptr);
        ctl.reset();
        gps::gps_manager::set_instance(nullptr);
        ::unsetenv("MORVIK_API_HOST");
    }
    dispatch.reset();
    control_scene::TearDown();
    platform::set_text_recorder(nullptr);
}

void ride_scene::connect(const std::string& records) {
    ASSERT_FALSE(ctl) << "connect() once per test";
    // The device's identity is made once per process; this one has a serial number and a machine id.
    std::ofstream(skin_.path() / "profile.info") << "351234567890123";
    std::ofstream(skin_.path() / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    device_info::set_machine_id_files({skin_.path() / "machine-id"});
    device_info::create(nullptr);
    gps::gps_manager::set_instance(&gps_service_);
    // The track and trip-data uploads stay on loopback, where nothing answers.
    ::setenv("MORVIK_API_HOST", ("127.0.0.1:" + std::to_string(zel::test::unused_port())).c_str(), 1);

    dispatch = zel::test::dispatch_server("tests/form/fixtures/menu_login.script",
                                          {{"RECORDS", records}, {"LATER", R"({"currency":{"precision":0.5}})"}});
    controller_::controller::options settings;
    settings.login_servers = {{L"127.0.0.1", std::to_wstring(zel::test::unused_port())}};
    settings.registration = {L"127.0.0.1", zel::test::unused_port()};
    settings.play_sound = [](int) {};
    ctl = std::make_unique<controller_::controller>(&listener, std::move(settings));
    ctl->store().process_packet(
        controller_::test::device_server_text(7, {L"127.0.0.1:" + dispatch->port_text() + L":main"}));
    ctl->set_server_index(0);
    ctl->connect_org(0, L"1234", 77);
    const auto mask = listener.wait_for_result(zel_api::login_name());
    ASSERT_TRUE(mask.payload() && mask.payload()->ok) << dispatch->transcript();
    controller_::controller::set_instance(ctl.get());
    run();
}

std::vector<drawn_text> ride_scene::screen_texts() {
    run();
    text_log.clear();
    InvalidateRect(window, nullptr, FALSE);
    run();
    return text_log.texts();
}

std::vector<std::wstring> ride_scene::texts_in(const std::vector<drawn_text>& texts, const rect& r) const {
    std::vector<std::wstring> found;
    for (const drawn_text& t : texts) {
        const int cx = t.r.x + t.r.w / 2, cy = t.r.y + t.r.h / 2;
        if (cx >= r.x && cx < r.x + r.w && cy >= r.y && cy < r.y + r.h) {
            found.push_back(t.text);
        }
    }
    return found;
}

} // namespace zel::form::test
