#include "gps/trip_data_file.h"

#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/json_text.h"
#include "gps/wire_numbers.h"

#include <algorithm>
#include <cmath>

namespace zel::gps {
namespace {

using nlohmann::json;

// Fills one field from a JSON value of the expected type; false on a type mismatch.
bool read_text(const json& value, std::wstring& field) {
    if (!value.is_string()) {
        return false;
    }
    field = utf8_to_wide(value.get_ref<const std::string&>());
    return true;
}

template <class Int> bool read_integer(const json& value, Int& field) {
    if (!value.is_number_integer()) {
        return false;
    }
    // Narrowed to the field as a cast does: the low bits are kept.
    field =
        value.is_number_unsigned() ? static_cast<Int>(value.get<uint64_t>()) : static_cast<Int>(value.get<int64_t>());
    return true;
}

bool read_real(const json& value, double& field) {
    if (!value.is_number()) {
        return false;
    }
    field = value.get<double>();
    return true;
}

bool read_real(const json& value, float& field) {
    double wide = 0.0;
    if (!read_real(value, wide)) {
        return false;
    }
    field = to_float(wide);
    return true;
}

// Each element of the array must be an object; each gives one element, filled by read_member.
template <class Element, class Read> bool read_array(const json& value, std::vector<Element>& out, Read read_member) {
    if (!value.is_array()) {
        return false;
    }
    for (const json& object : value) {
        if (!object.is_object()) {
            return false;
        }
        Element element;
        for (const auto& [key, member] : object.items()) {
            if (!read_member(element, key, member)) {
                return false;
            }
        }
        out.push_back(element);
    }
    return true;
}

bool read_sample(tax_data_sample& sample, const std::string& key, const json& value) {
    if (key == "time") {
        return read_integer(value, sample.time);
    }
    if (key == "distance") {
        return read_integer(value, sample.distance);
    }
    if (key == "state") {
        return read_integer(value, sample.state);
    }
    if (key == "cost_time") {
        return read_real(value, sample.cost_time);
    }
    if (key == "cost_dist") {
        return read_real(value, sample.cost_dist);
    }
    return true;
}

bool read_item(track_item& item, const std::string& key, const json& value) {
    if (key == "latitude") {
        return read_real(value, item.latitude);
    }
    if (key == "longitude") {
        return read_real(value, item.longitude);
    }
    if (key == "speed") {
        return read_integer(value, item.speed);
    }
    if (key == "time") {
        return read_integer(value, item.time);
    }
    return true;
}

double finite_or_zero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

bool write_complete(const std::filesystem::path& file, const std::string& bytes) {
    // The temporary's name must not contain the upload extension.
    std::filesystem::path part = file;
    part.replace_extension(".part");
    std::error_code error;
    if (!write_file_atomic(part, bytes)) {
        return false;
    }
    std::filesystem::rename(part, file, error);
    if (error) {
        std::filesystem::remove(part, error);
        return false;
    }
    return true;
}

} // namespace

std::wstring trip_file_text(const std::string& bytes) {
    std::string joined = bytes;
    std::erase(joined, '\n');
    return utf8_to_wide(joined);
}

bool parse_tax_data(tax_data_record& record, const std::wstring& text) {
    json doc;
    if (!parse_json_object(wide_to_utf8(text), doc)) {
        return false;
    }
    for (const auto& [key, value] : doc.items()) {
        bool read = true;
        if (key == "orde_id") {
            read = read_text(value, record.order_id);
        } else if (key == "driver_id") {
            read = read_integer(value, record.driver_id);
        } else if (key == "organization_id") {
            read = read_integer(value, record.organization_id);
        } else if (key == "city_id") {
            read = read_integer(value, record.city_id);
        } else if (key == "tariff_id") {
            read = read_text(value, record.tariff_id);
        } else if (key == "tariff") {
            read = read_text(value, record.tariff);
        } else if (key == "device_type") {
            read = read_text(value, record.device_type);
        } else if (key == "device_sw_version") {
            read = read_text(value, record.device_sw_version);
        } else if (key == "tax_data") {
            read = read_array(value, record.samples, read_sample);
        } else if (key == "cost-idle") {
            read = read_real(value, record.cost_idle);
        }
        if (!read) {
            return false;
        }
    }
    return true;
}

bool parse_order_track(order_track_record& record, const std::wstring& text) {
    json doc;
    if (!parse_json_object(wide_to_utf8(text), doc)) {
        return false;
    }
    for (const auto& [key, value] : doc.items()) {
        bool read = true;
        if (key == "order_id") {
            read = read_text(value, record.order_id);
        } else if (key == "track_items") {
            read = read_array(value, record.items, read_item);
        }
        if (!read) {
            return false;
        }
    }
    return true;
}

std::string tax_data_json(const tax_data_record& record) {
    ordered_json samples = ordered_json::array();
    for (const tax_data_sample& sample : record.samples) {
        samples.push_back({{"time", sample.time},
                           {"distance", sample.distance},
                           {"state", sample.state},
                           {"cost_time", finite_or_zero(sample.cost_time)},
                           {"cost_dist", finite_or_zero(sample.cost_dist)}});
    }
    ordered_json doc = {{"orde_id", wide_to_utf8(record.order_id)},
                        {"driver_id", record.driver_id},
                        {"organization_id", record.organization_id},
                        {"city_id", record.city_id},
                        {"tariff_id", wide_to_utf8(record.tariff_id)},
                        {"tariff", wide_to_utf8(record.tariff)},
                        {"device_type", wide_to_utf8(record.device_type)},
                        {"device_sw_version", wide_to_utf8(record.device_sw_version)},
                        {"tax_data", std::move(samples)},
                        {"cost-idle", finite_or_zero(record.cost_idle)}};
    return dump_json(doc);
}

std::string order_track_json(const order_track_record& record) {
    ordered_json items = ordered_json::array();
    for (const track_item& item : record.items) {
        items.push_back({{"latitude", finite_or_zero(item.latitude)},
                         {"longitude", finite_or_zero(item.longitude)},
                         {"speed", item.speed},
                         {"time", item.time}});
    }
    const ordered_json doc = {{"order_id", wide_to_utf8(record.order_id)}, {"track_items", std::move(items)}};
    return dump_json(doc);
}

std::string tax_data_bytes(const std::vector<tax_data_sample>& samples) {
    std::string out;
    out.reserve(samples.size() * tax_data_sample_size);
    for (const tax_data_sample& sample : samples) {
        put_be(out, sample.time);
        put_be(out, sample.distance);
        put_be(out, sample.state);
        put_be_float(out, sample.cost_time);
        put_be_float(out, sample.cost_dist);
    }
    return out;
}

std::string track_item_bytes(const std::vector<track_item>& items) {
    std::string out;
    out.reserve(items.size() * track_item_size);
    for (const track_item& item : items) {
        put_be(out, truncate_saturated<int32_t>(item.latitude * 10000000.0));
        put_be(out, truncate_saturated<int32_t>(item.longitude * 10000000.0));
        put_be(out, static_cast<uint8_t>(item.speed & 0xFF));
        put_be(out, item.time);
    }
    return out;
}

void write_tax_data_parts(controller_::multipart_writer& writer, const tax_data_record& record) {
    using namespace controller_;
    multipart_write_text(writer, "order-id", record.order_id);
    multipart_write_int64(writer, "driver-id", record.driver_id);
    multipart_write_int64(writer, "organization-id", record.organization_id);
    multipart_write_int64(writer, "city-id", record.city_id);
    multipart_write_text(writer, "tariff-id", record.tariff_id);
    multipart_write_text(writer, "tariff", record.tariff);
    multipart_write_text(writer, "device-type", record.device_type);
    multipart_write_text(writer, "device-sw-version", record.device_sw_version);
    multipart_write_float(writer, "cost-idle", record.cost_idle);
    const std::string samples = tax_data_bytes(record.samples);
    multipart_write_data(writer, "tax-data", samples.data(), samples.size());
}

void write_order_track_parts(controller_::multipart_writer& writer, const order_track_record& record) {
    controller_::multipart_write_text(writer, "order-id", record.order_id);
    const std::string items = track_item_bytes(record.items);
    controller_::multipart_write_data(writer, "track", items.data(), items.size());
}

bool write_trip_files(const std::filesystem::path& folder, const trip_export& trip, const std::string& stem) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const bool written = write_complete(folder / (stem + ".tax_data"), tax_data_json(trip.tax_data)) &&
                         write_complete(folder / (stem + ".order_track"), order_track_json(trip.order_track));
    if (!written) {
        zel::log(logger::error, L"trip data: cannot write the files of " + utf8_to_wide(stem) + L" in " +
                                    utf8_to_wide(folder.string()));
    }
    return written;
}

} // namespace zel::gps
