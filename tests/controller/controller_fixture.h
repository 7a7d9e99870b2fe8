// What the controller's tests share: a listener that records every posted mask, a program folder of its own, a
// GPS service that searches nothing, the stepped clock, and the loopback peers (the test dispatch server
// playing a script, the HTTP server).
#pragma once

#include "api/update_mask.h"
#include "controller/controller.h"
#include "controller/controller_listener.h"
#include "foundation/manual_clock.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"
#include "tests/controller/test_peer.h"
#include "tests/support/dispatch_peer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zel::controller_::test {

// A manual fix source for a GPS service to own; kept points at it.
std::unique_ptr<gps::manual_fix_source> new_fix_source(gps::manual_fix_source*& kept);

using zel::test::temp_folder;
using zel::test::test_peer;

// The panel manager's part: keeps every mask posted, in order.
class recording_listener : public controller_listener {
public:
    void post_command(const zel_api::update_mask& mask) override;

    // Waits (a safety limit, not a timing) until the count-th mask with the name has come; it, or an empty
    // mask when it didn't come.
    zel_api::update_mask wait_for(const std::wstring& name, size_t count = 1);
    // The first mask with a "cmd-result" naming the command, waiting for it.
    zel_api::update_mask wait_for_result(const std::wstring& command_name);
    // "cmd-result"s naming the command so far, without waiting.
    size_t results(const std::wstring& command_name) const;
    size_t count(const std::wstring& name) const;
    std::vector<zel_api::update_mask> masks() const;
    // Hands every mask on to another listener as well, before keeping it (the screens' tests: the manager).
    void forward_to(controller_listener* next);

private:
    bool wait(const std::function<bool()>& done);

    mutable std::mutex lock_;
    std::condition_variable posted_;
    std::vector<zel_api::update_mask> masks_;
    controller_listener* next_ = nullptr;
};

using zel::test::expect_script_done;
using zel::test::unused_port;

// A test dispatch server playing a script of tests/controller/fixtures, with --set values.
inline std::unique_ptr<test_peer> dispatch_server(const std::string& fixture,
                                                  const std::map<std::string, std::string>& values = {}) {
    return zel::test::dispatch_server("tests/controller/fixtures/" + fixture, values);
}

// A record of one dispatch server with the given addresses, as the login servers send it.
std::wstring device_server_text(int64_t org_id, const std::vector<std::wstring>& addresses);

class controller_fixture : public ::testing::Test {
protected:
    controller_fixture();
    ~controller_fixture() override;

    // Builds the controller with the deployment values read now (the test sets the environment first).
    controller& start();
    // Stores one dispatch server whose only address is the given port on loopback, and chooses it.
    void add_dispatch_server(int port, int64_t org_id = 7);
    // Logs in on the chosen server with PIN "1234" and driver id 77 and waits for the result.
    void log_in();
    // Waits until the listener thread has made two more turns (each sees the clock as it is now).
    void wait_listener_turns();

    temp_folder folder;
    manual_clock clock;
    gps::manual_fix_source* fix_source; // owned by the service
    gps::gps_manager gps_service;
    recording_listener listener;
    std::unique_ptr<controller> ctl;
};

} // namespace zel::controller_::test
