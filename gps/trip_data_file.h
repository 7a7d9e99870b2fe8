// The ".tax_data" and ".order_track" files of a finished ride and their upload bodies.
//
// A file holds one JSON object in UTF-8; its line feeds are dropped before parsing. ".tax_data":
//   {"orde_id": text, "driver_id": int, "organization_id": int, "city_id": int, "tariff_id": text,
//    "tariff": text, "device_type": text, "device_sw_version": text, "cost-idle": real,
//    "tax_data": [{"time": int, "distance": int, "state": int, "cost_time": real, "cost_dist": real}, ...]}
// ".order_track": {"order_id": text, "track_items": [{"latitude": real, "longitude": real, "speed": int,
//    "time": int}, ...]}
// Keys come in any order; other keys are skipped; a missing one leaves 0 or empty. A key holding a value of
// another type, an array element that is not an object, or a text that is no JSON object fails the parse.
//
// In the uploads the samples go as 22 big-endian bytes each (time 8, distance 4, state 2, cost time 4, cost
// dist 4, IEEE floats) and the track items as 17 (latitude x 10^7 4, longitude x 10^7 4, speed 1, time 8).
#pragma once

#include "controller/http/multipart.h"
#include "gps/taximeter/trip_export.h"

#include <filesystem>
#include <string>

namespace zel::gps {

inline constexpr size_t tax_data_sample_size = 22;
inline constexpr size_t track_item_size = 17;

// A file's bytes as the parsers take them: every line feed dropped, then UTF-8 turned into wide text.
std::wstring trip_file_text(const std::string& bytes);

// True when the text was a JSON object of the expected shape; record is filled either way as far as read.
bool parse_tax_data(tax_data_record& record, const std::wstring& text);
bool parse_order_track(order_track_record& record, const std::wstring& text);

// The file texts (one compact JSON object each). A value that is not finite is written as 0.
std::string tax_data_json(const tax_data_record& record);
std::string order_track_json(const order_track_record& record);

std::string tax_data_bytes(const std::vector<tax_data_sample>& samples);
std::string track_item_bytes(const std::vector<track_item>& items);

// The multipart parts of the two uploads, in their order.
void write_tax_data_parts(controller_::multipart_writer& writer, const tax_data_record& record);
void write_order_track_parts(controller_::multipart_writer& writer, const order_track_record& record);

// Writes folder/<stem>.tax_data and folder/<stem>.order_track, each complete before it gets its name (a
// half-written file never shows under a name the uploads take). False (logged) on any failure.
bool write_trip_files(const std::filesystem::path& folder, const trip_export& trip, const std::string& stem);

} // namespace zel::gps
