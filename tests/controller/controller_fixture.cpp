#include "tests/controller/controller_fixture.h"

#include "api/command_names.h"
#include "foundation/app_paths.h"
#include "foundation/device_info.h"
#include "gps/manual_fix_source.h"

#include <cstdlib>
#include <fstream>
#include <thread>

namespace zel::controller_::test {
namespace {

constexpr auto safety_limit = std::chrono::seconds(60);

} // namespace

void recording_listener::post_command(const zel_api::update_mask& mask) {
    controller_listener* next = nullptr;
    {
        std::lock_guard guard(lock_);
        next = next_;
    }
    // Handed on before it is recorded: a test that saw the mask here finds it queued at the next listener.
    if (next) {
        next->post_command(mask);
    }
    std::lock_guard guard(lock_);
    masks_.push_back(mask);
    posted_.notify_all();
}

void recording_listener::forward_to(controller_listener* next) {
    std::lock_guard guard(lock_);
    next_ = next;
}

bool recording_listener::wait(const std::function<bool()>& done) {
    std::unique_lock guard(lock_);
    return posted_.wait_for(guard, safety_limit, done);
}

zel_api::update_mask recording_listener::wait_for(const std::wstring& name, size_t count) {
    zel_api::update_mask found;
    wait([&] {
        size_t seen = 0;
        for (const auto& mask : masks_) {
            if (mask.test(name) && ++seen == count) {
                found = mask;
                return true;
            }
        }
        return false;
    });
    return found;
}

zel_api::update_mask recording_listener::wait_for_result(const std::wstring& command_name) {
    zel_api::update_mask found;
    wait([&] {
        for (const auto& mask : masks_) {
            if (mask.payload() && mask.payload()->cmd_name == command_name) {
                found = mask;
                return true;
            }
        }
        return false;
    });
    return found;
}

size_t recording_listener::results(const std::wstring& command_name) const {
    std::lock_guard guard(lock_);
    size_t seen = 0;
    for (const auto& mask : masks_) {
        seen += mask.payload() && mask.payload()->cmd_name == command_name ? 1 : 0;
    }
    return seen;
}

size_t recording_listener::count(const std::wstring& name) const {
    std::lock_guard guard(lock_);
    size_t seen = 0;
    for (const auto& mask : masks_) {
        seen += mask.test(name) ? 1 : 0;
    }
    return seen;
}

std::vector<zel_api::update_mask> recording_listener::masks() const {
    std::lock_guard guard(lock_);
    return masks_;
}

std::wstring device_server_text(int64_t org_id, const std::vector<std::wstring>& addresses) {
    std::wstring list;
    for (const auto& address : addresses) {
        list += (list.empty() ? L"\"" : L",\"") + address + L"\"";
    }
    return L"{\"obj-device-server\":{\"db-type\":1,\"city-id\":2,\"n\":\"Таксопарк\",\"org-id\":" +
           std::to_wstring(org_id) + L",\"server-addr\":[" + list + L"],\"city-name\":\"Город\"}}";
}

std::unique_ptr<gps::manual_fix_source> new_fix_source(gps::manual_fix_source*& kept) {
    auto source = std::make_unique<gps::manual_fix_source>();
    kept = source.get();
    return source;
}

controller_fixture::controller_fixture()
    : gps_service(new_fix_source(fix_source), {std::chrono::milliseconds(1000), false}) {
    set_app_folder(folder.path().wstring());
    // The device's identity is made once per process; this one has a serial number and a machine id.
    std::ofstream(folder.path() / "profile.info") << "351234567890123";
    std::ofstream(folder.path() / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    device_info::set_machine_id_files({folder.path() / "machine-id"});
    device_info::create(nullptr);
    gps::gps_manager::set_instance(&gps_service);
    // The track and trip-data uploads that the controller starts stay on loopback, where nothing answers.
    ::setenv("MORVIK_API_HOST", ("127.0.0.1:" + std::to_string(unused_port())).c_str(), 1);
}

controller_fixture::~controller_fixture() {
    ctl.reset();
    gps::gps_manager::set_instance(nullptr);
    ::unsetenv("MORVIK_API_HOST");
    set_app_folder(L"");
}

controller& controller_fixture::start() {
    auto settings = controller::options::from_settings();
    settings.play_sound = [](int) {};
    ctl = std::make_unique<controller>(&listener, std::move(settings));
    return *ctl;
}

void controller_fixture::add_dispatch_server(int port, int64_t org_id) {
    ctl->store().process_packet(device_server_text(org_id, {L"127.0.0.1:" + std::to_wstring(port) + L":main"}));
    ctl->set_server_index(0);
}

void controller_fixture::log_in() {
    ctl->connect_org(0, L"1234", 77);
    const auto mask = listener.wait_for_result(zel_api::login_name());
    ASSERT_TRUE(mask.payload() && mask.payload()->ok);
    ASSERT_TRUE(ctl->is_logged_in());
}

void controller_fixture::wait_listener_turns() {
    const uint64_t from = ctl->listener_turns();
    for (int i = 0; i < 2000 && ctl->listener_turns() < from + 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(ctl->listener_turns(), from + 2);
}

} // namespace zel::controller_::test
