// A ride as the trip-data uploads send it: the taximeter samples and the order's track. The taximeter fills
// these records (taximeter::export_trip); the uploads read and write them as ".tax_data" and ".order_track".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zel::gps {

struct tax_data_sample {
    int64_t time = 0;     // ms since the taximeter's start
    int32_t distance = 0; // metres since the start; -1 in downtime samples
    // 0x01 inclusion used up, 0x20 stretch became split, 0x40 stopped being split, 0x80 cap reached,
    // 2 downtime began, 4 downtime ended, 0 an ordinary sample.
    uint16_t state = 0;
    float cost_time = 0.0f; // -1.0 in downtime samples
    float cost_dist = 0.0f; // -1.0 in downtime samples
};

struct tax_data_record {
    std::wstring order_id;
    int64_t driver_id = 0;
    int64_t organization_id = 0;
    int64_t city_id = 0;
    std::wstring tariff_id;
    std::wstring tariff;
    std::wstring device_type;
    std::wstring device_sw_version;
    std::vector<tax_data_sample> samples;
    float cost_idle = 0.0f;

    void add_sample(const tax_data_sample& sample) {
        samples.push_back(sample);
    }
};

struct track_item {
    double latitude = 0.0;
    double longitude = 0.0;
    uint32_t speed = 0; // km/h; only the low 8 bits are sent
    uint64_t time = 0;  // ms since 1970
};

struct order_track_record {
    std::wstring order_id;
    std::vector<track_item> items;

    void add_item(const track_item& item) {
        items.push_back(item);
    }
};

struct trip_export {
    tax_data_record tax_data;
    order_track_record order_track;
};

} // namespace zel::gps
