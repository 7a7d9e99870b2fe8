// What the store's tests share: fixture packets of tests/api/fixtures/store (each line that begins with "{" is
// one packet, the other lines are notes), a stepped clock, a temporary program folder for the taximeter's dump,
// a GPS service that starts no search and delivers a location when told, and the log read back.
#pragma once

#include "api/database.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/manual_clock.h"
#include "foundation/text_utils.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"

#include "tests/support/log_capture.h"
#include "tests/support/temp_app_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace zel_api::test {

// Row n - 1: the name of bit n of the update mask.
inline const std::vector<std::wstring>& mask_bit_names() {
    static const std::vector<std::wstring> names = {L"obj-device-server",
                                                    L"obj-main-id",
                                                    L"obj-zero-params",
                                                    L"cmd-result",
                                                    L"session-fix-param",
                                                    L"ref-area",
                                                    L"ref-rate",
                                                    L"session-param",
                                                    L"command_http_reg",
                                                    L"order",
                                                    L"odel",
                                                    L"shift",
                                                    L"sell-shift",
                                                    L"shift-del",
                                                    L"nda",
                                                    L"adc",
                                                    L"disconnect_local",
                                                    L"disconnect_global",
                                                    L"command_sms_register_ok",
                                                    L"command_sms_register_error",
                                                    L"msg",
                                                    L"obj-update",
                                                    L"order-offer",
                                                    L"order-offer-cancel",
                                                    L"order-offer-timeout"};
    return names;
}

// The names whose bits the mask has.
inline std::set<std::wstring> names_in(const update_mask& mask) {
    std::set<std::wstring> names;
    for (const std::wstring& name : mask_bit_names()) {
        if (mask.test(name)) {
            names.insert(name);
        }
    }
    return names;
}

// The device clock of every store test: 1600000000 s.
constexpr int64_t test_start_ms = 1'600'000'000'000LL;

inline std::vector<std::wstring> store_packets(const std::string& name) {
    const char* root = std::getenv("MORVIK_SOURCE_DIR");
    const std::string path = std::string(root ? root : ".") + "/tests/api/fixtures/store/" + name + ".json";
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing fixture " << path;
    std::vector<std::wstring> packets;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.front() == '{') {
            packets.push_back(zel::utf8_to_wide(line));
        }
    }
    return packets;
}

using temp_program_folder = zel::test::temp_app_folder;

// Installed as the process's GPS service for its lifetime; no refresh thread: deliver() is one refresh.
class test_gps_service {
public:
    test_gps_service() {
        auto source = std::make_unique<zel::gps::manual_fix_source>();
        source_ = source.get();
        service_ = std::make_unique<zel::gps::gps_manager>(
            std::move(source), zel::gps::gps_manager::options{std::chrono::milliseconds(1000), false});
        zel::gps::gps_manager::set_instance(service_.get());
    }
    ~test_gps_service() {
        zel::gps::gps_manager::set_instance(nullptr);
    }

    // Delivers one accurate location at metres north of a fixed point, at the clock's time.
    void deliver(double metres_north, double speed_kmh) {
        zel::gps::gps_fix fix;
        fix.valid = 1;
        fix.fix = 1;
        fix.pdop = 2.0f;
        fix.hdop = 1.0f;
        fix.satellites = 8;
        fix.latitude = 55.75 + metres_north / (6372795.0 * 0.017453292519943295);
        fix.longitude = 37.62;
        fix.speed = speed_kmh;
        source_->set(fix);
        service_->refresh_once();
    }

private:
    zel::gps::manual_fix_source* source_ = nullptr;
    std::unique_ptr<zel::gps::gps_manager> service_;
};

using zel::test::log_capture;

// A store on the test clock, folder and GPS service, with its new-order sounds recorded.
class store_test : public ::testing::Test {
protected:
    update_mask feed(const std::wstring& packet) {
        return db_.process_packet(packet);
    }
    // Applies every packet of a fixture; returns the masks.
    std::vector<update_mask> feed_all(const std::string& fixture) {
        std::vector<update_mask> masks;
        for (const std::wstring& packet : store_packets(fixture)) {
            masks.push_back(feed(packet));
        }
        return masks;
    }

    zel::manual_clock clock_{test_start_ms};
    temp_program_folder folder_;
    test_gps_service gps_;
    std::vector<int> sounds_;
    database db_{[this](int id) { sounds_.push_back(id); }};
};

} // namespace zel_api::test
