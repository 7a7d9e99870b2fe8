// The trip-data files and their uploads: the multipart POSTs byte for byte, the parsers' table of cases, the
// files written from a ride and read back, what each answer does to a file, empty and broken files, and the
// threads with a pass that throws.
#include "foundation/manual_clock.h"
#include "foundation/text_utils.h"
#include "gps/trip_data_file.h"
#include "gps/trip_data_uploader.h"
#include "tests/gps/gps_test_support.h"
#include "tests/gps/tracks/hex_bytes.h"
#include "tests/gps/tracks/upload_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zel::gps {
namespace {

using test::file_bytes;
using test::hex_bytes;
using test::names_in;
using test::temp_folder;
using test::upload_server;
using test::write_bytes;

const std::string boundary = "ACAD11A8-094A-477f-A141-66562458529A";

std::string part(const std::string& name, const std::string& value) {
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}
const std::string closing = "--" + boundary + "--\r\n";

// A ".tax_data" text across lines, with a line feed inside the order id that reading drops.
const std::string tax_data_text = "{\"orde_id\":\"A\n1\",\n\"driver_id\":7,\n"
                                  "\"tax_data\":[{\"time\":1000,\"distance\":15,\"state\":1,\n"
                                  "\"cost_time\":0.5,\"cost_dist\":2.25}]}\n";
const std::string tax_data_body =
    part("order-id", "A1") + part("driver-id", "7") + part("organization-id", "0") + part("city-id", "0") +
    part("tariff-id", "") + part("tariff", "") + part("device-type", "") + part("device-sw-version", "") +
    part("cost-idle", "0.000000") +
    part("tax-data", hex_bytes("00 00 00 00 00 00 03 E8 00 00 00 0F 00 01 3F 00 00 00 40 10 00 00")) + closing;

// An item with the listed names and one with none of them (all zeros).
const std::string order_track_text = "{\"order_id\":\"77\",\"track_items\":[{\"latitude\":55.5,\"longitude\":37.25,"
                                     "\"speed\":300,\"time\":1400000000000},{\"x\":1,\"lat\":2}]}";
const std::string order_track_body =
    part("order-id", "77") +
    part("track", hex_bytes("21 14 A0 C0 16 33 E6 20 2C 00 00 01 45 F6 80 B0 00") + std::string(17, '\0')) + closing;

const char tax_data_path[] = "POST /zel-driver/add-tax-data/1.0/";
const char order_track_path[] = "POST /zel-driver/add-order-track/1.0/";

struct trip_fixture : ::testing::Test {
    manual_clock clock{1'600'000'000'000LL};
    temp_folder folder;
    std::filesystem::path trips = folder.path() / "order_close_inf";

    trip_fixture() {
        std::filesystem::create_directories(trips);
    }
    trip_data_uploader::options at(int port) {
        trip_data_uploader::options settings;
        settings.endpoint = {L"127.0.0.1", static_cast<uint32_t>(port)};
        return settings;
    }
};

TEST_F(trip_fixture, both_kinds_are_posted_byte_for_byte_and_deleted_after_a_2xx) {
    upload_server server(200);
    write_bytes(trips / "1.tax_data", tax_data_text);
    write_bytes(trips / "1.order_track", order_track_text);
    trip_data_uploader uploader(trips, at(server.port()));

    uploader.upload_tax_data();
    const test::recorded_request tax = server.request(1, tax_data_path);
    EXPECT_EQ(tax.body, tax_data_body);
    EXPECT_NE(tax.head.find("Content-Type: multipart/form-data; boundary=" + boundary + "\r\n"), std::string::npos)
        << tax.head;
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"1.order_track"});

    uploader.upload_order_track();
    EXPECT_EQ(server.request(2, order_track_path).body, order_track_body);
    EXPECT_TRUE(names_in(trips).empty());
}

TEST(trip_data_file, the_parsers_take_the_designed_shapes) {
    const struct {
        const char* what;
        std::string text;
        bool valid;
        const wchar_t* order_id;
        int64_t driver_id;
        size_t samples;
    } tax_cases[] = {
        {"the order id's own key", R"({"orde_id":"A1","driver_id":7})", true, L"A1", 7, 0},
        {"the usual key is not it", R"({"order_id":"A1","driver_id":-7})", true, L"", -7, 0},
        {"keys in any order, others skipped", R"({"x":[1],"tax_data":[{},{}],"orde_id":"Б"})", true, L"Б", 0, 2},
        {"a driver id as text", R"({"driver_id":"7"})", false, L"", 0, 0},
        {"a driver id as a real", R"({"driver_id":7.0})", false, L"", 0, 0},
        {"an order id as a number", R"({"orde_id":1})", false, L"", 0, 0},
        {"a sample that is no object", R"({"tax_data":[1]})", false, L"", 0, 0},
        {"samples that are no array", R"({"tax_data":{}})", false, L"", 0, 0},
        {"a real as an integer sample time", R"({"tax_data":[{"time":1.5}]})", false, L"", 0, 0},
        {"a cost as text", R"({"cost-idle":"1"})", false, L"", 0, 0},
        {"an array", "[]", false, L"", 0, 0},
        {"no JSON", "{\"orde_id\":", false, L"", 0, 0},
        {"empty", "", false, L"", 0, 0},
        {"nested too deep", "{\"x\":" + std::string(100, '[') + std::string(100, ']') + "}", false, L"", 0, 0},
    };
    for (const auto& c : tax_cases) {
        SCOPED_TRACE(c.what);
        tax_data_record record;
        EXPECT_EQ(parse_tax_data(record, utf8_to_wide(c.text)), c.valid);
        if (c.valid) {
            EXPECT_EQ(record.order_id, c.order_id);
            EXPECT_EQ(record.driver_id, c.driver_id);
            EXPECT_EQ(record.samples.size(), c.samples);
        }
    }

    // Values are narrowed to their fields; an integer serves where a real is asked for.
    tax_data_record record;
    ASSERT_TRUE(parse_tax_data(record, utf8_to_wide(R"({"cost-idle":1e300,"tax_data":[{"distance":4294967297,
        "state":65537,"time":-5,"cost_time":2,"cost_dist":-1e300}],"city_id":18446744073709551615})")));
    ASSERT_EQ(record.samples.size(), 1u);
    EXPECT_EQ(record.samples[0].distance, 1);
    EXPECT_EQ(record.samples[0].state, 1);
    EXPECT_EQ(record.samples[0].time, -5);
    EXPECT_EQ(record.samples[0].cost_time, 2.0f);
    EXPECT_TRUE(std::isinf(record.samples[0].cost_dist) && record.samples[0].cost_dist < 0);
    EXPECT_TRUE(std::isinf(record.cost_idle));
    EXPECT_EQ(record.city_id, -1);

    order_track_record track;
    ASSERT_TRUE(parse_order_track(track, utf8_to_wide(order_track_text)));
    EXPECT_EQ(track.order_id, L"77");
    ASSERT_EQ(track.items.size(), 2u);
    EXPECT_EQ(track.items[0].speed, 300u);
    EXPECT_EQ(track.items[1].latitude, 0.0);
    order_track_record bad;
    EXPECT_FALSE(parse_order_track(bad, utf8_to_wide(R"({"track_items":[{"speed":"fast"}]})")));
    EXPECT_FALSE(parse_order_track(bad, utf8_to_wide(R"({"order_id":null})")));
}

TEST_F(trip_fixture, a_ride_written_to_files_reads_back_the_same) {
    trip_export trip;
    trip.tax_data.order_id = L"Заказ-12";
    trip.tax_data.driver_id = 9'000'000'000LL;
    trip.tax_data.organization_id = -3;
    trip.tax_data.city_id = 2;
    trip.tax_data.tariff_id = L"t1";
    trip.tax_data.tariff = L"Город \"днём\"\\";
    trip.tax_data.device_type = L"linux";
    trip.tax_data.device_sw_version = L"3.5.0.1220";
    trip.tax_data.cost_idle = 12.345f;
    trip.tax_data.add_sample({});
    trip.tax_data.add_sample({61'000, 1234, 0x21, 0.1f, 33.3f});
    trip.tax_data.add_sample({120'000, -1, 2, -1.0f, -1.0f});
    trip.order_track.order_id = L"Заказ-12";
    trip.order_track.add_item({55.7520566, -37.6175, 44, 1'400'000'000'123ULL});
    ASSERT_TRUE(write_trip_files(trips, trip, "ride-1"));
    EXPECT_EQ(names_in(trips), (std::vector<std::string>{"ride-1.order_track", "ride-1.tax_data"}));

    tax_data_record tax;
    ASSERT_TRUE(parse_tax_data(tax, trip_file_text(file_bytes(trips / "ride-1.tax_data"))));
    EXPECT_EQ(tax.order_id, trip.tax_data.order_id);
    EXPECT_EQ(tax.driver_id, trip.tax_data.driver_id);
    EXPECT_EQ(tax.organization_id, trip.tax_data.organization_id);
    EXPECT_EQ(tax.city_id, trip.tax_data.city_id);
    EXPECT_EQ(tax.tariff, trip.tax_data.tariff);
    EXPECT_EQ(tax.device_sw_version, trip.tax_data.device_sw_version);
    EXPECT_EQ(tax.cost_idle, trip.tax_data.cost_idle);
    EXPECT_EQ(tax_data_bytes(tax.samples), tax_data_bytes(trip.tax_data.samples));
    order_track_record track;
    ASSERT_TRUE(parse_order_track(track, trip_file_text(file_bytes(trips / "ride-1.order_track"))));
    EXPECT_EQ(track.order_id, trip.order_track.order_id);
    EXPECT_EQ(track_item_bytes(track.items), track_item_bytes(trip.order_track.items));
    EXPECT_EQ(track.items[0].latitude, 55.7520566);
}

TEST_F(trip_fixture, a_broken_file_is_deleted_unsent_and_the_next_pass_sends_the_next) {
    upload_server server(200);
    write_bytes(trips / "a.tax_data", R"({"orde_id":"A1","driver_id":"7"})");
    write_bytes(trips / "b.tax_data", tax_data_text);
    test::log_capture log;
    trip_data_uploader uploader(trips, at(server.port()));
    uploader.upload_tax_data();
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"b.tax_data"});
    EXPECT_EQ(server.requests(), 0u);
    EXPECT_NE(log.text().find("tax data upload: a.tax_data is no valid file of its kind; deleted"), std::string::npos)
        << log.text();
    uploader.upload_tax_data();
    EXPECT_EQ(server.request(1, tax_data_path).body, tax_data_body);
}

TEST_F(trip_fixture, failures_keep_the_file_send_the_next_and_three_refusals_move_it_aside) {
    write_bytes(trips / "a.order_track", order_track_text);
    write_bytes(trips / "b.order_track", R"({"order_id":"B"})");
    {
        trip_data_uploader uploader(trips, at(std::stoi(test::free_port())));
        uploader.upload_order_track();
        EXPECT_EQ(names_in(trips).size(), 2u) << "no server keeps the file";
    }
    {
        upload_server server(500);
        trip_data_uploader uploader(trips, at(server.port()));
        uploader.upload_order_track();
        uploader.upload_order_track();
        EXPECT_EQ(server.request(1, order_track_path).body, order_track_body);
        EXPECT_EQ(server.request(2, order_track_path).body, part("order-id", "B") + part("track", "") + closing)
            << "the failed file went to the back";
        EXPECT_EQ(names_in(trips).size(), 2u) << "5xx keeps the files";
    }
    std::filesystem::remove(trips / "b.order_track");
    upload_server server(400);
    test::log_capture log;
    trip_data_uploader uploader(trips, at(server.port()));
    uploader.upload_order_track();
    uploader.upload_order_track();
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"a.order_track"});
    uploader.upload_order_track();
    server.request(3, order_track_path);
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"rejected"});
    EXPECT_EQ(file_bytes(trips / "rejected" / "a.order_track"), order_track_text);
    EXPECT_NE(log.text().find("order track upload: a.order_track moved to"), std::string::npos) << log.text();
}

TEST_F(trip_fixture, an_empty_file_does_not_block_the_next_and_goes_after_its_grace) {
    upload_server server(200);
    write_bytes(trips / "a.tax_data", "\n\n");
    write_bytes(trips / "b.tax_data", tax_data_text);
    trip_data_uploader uploader(trips, at(server.port()));
    uploader.upload_tax_data();
    EXPECT_EQ(server.request(1, tax_data_path).body, tax_data_body);
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"a.tax_data"});
    clock.advance_ms(59'000);
    uploader.upload_tax_data();
    EXPECT_EQ(names_in(trips), std::vector<std::string>{"a.tax_data"});
    clock.advance_ms(1'000);
    uploader.upload_tax_data();
    EXPECT_TRUE(names_in(trips).empty());
    EXPECT_EQ(server.requests(), 1u);
}

struct failing_trip_uploader : trip_data_uploader {
    using trip_data_uploader::trip_data_uploader;
    ~failing_trip_uploader() override {
        stop();
    }
    void upload_tax_data() override {
        if (passes++ == 0) {
            throw std::runtime_error("no memory");
        }
        trip_data_uploader::upload_tax_data();
    }
    std::atomic<int> passes{0};
};

TEST_F(trip_fixture, the_threads_upload_at_the_environments_host_and_outlive_a_throwing_pass) {
    upload_server server(200);
    write_bytes(trips / "1.tax_data", tax_data_text);
    write_bytes(trips / "1.order_track", order_track_text);
    test::log_capture log;
    ::setenv("MORVIK_API_HOST", ("127.0.0.1:" + std::to_string(server.port())).c_str(), 1);
    trip_data_uploader::options settings;
    ::unsetenv("MORVIK_API_HOST");
    settings.period = std::chrono::milliseconds(1);
    failing_trip_uploader uploader(trips, settings);
    uploader.start();
    uploader.start();
    ASSERT_TRUE(server.request(1, "POST /zel-driver/").body.size() > 0) << server.transcript();
    ASSERT_TRUE(server.request(2, "POST /zel-driver/").body.size() > 0) << server.transcript();
    uploader.stop();
    EXPECT_TRUE(names_in(trips).empty());
    EXPECT_NE(log.text().find("tax data upload: the pass failed: no memory"), std::string::npos) << log.text();
}

} // namespace
} // namespace zel::gps
