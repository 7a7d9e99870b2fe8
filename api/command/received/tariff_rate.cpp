#include "api/command/received/tariff_rate.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void tariff_rate::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void tariff_rate::read_fields(const json::value& fields) {
    try {
        for_each_field(fields, [this](std::string_view key, const json::value& v) {
            if (key == "n") {
                n_ = to_wide(v);
            } else if (key == "cdu") {
                cdu_ = to_float(v);
            } else if (key == "cdtu") {
                cdtu_ = to_float(v);
            } else if (key == "ctu") {
                ctu_ = to_float(v);
            } else if (key == "cp") {
                cp_ = to_float(v);
            } else if (key == "dp") {
                dp_ = to_float(v);
            } else if (key == "pd") {
                pd_ = to_float(v);
            } else if (key == "pt") {
                pt_ = to_float(v);
            } else if (key == "p") {
                p_ = to_float(v);
            }
        });
    } catch (const json::type_error& error) {
        log_kept_order(L"order rates", error);
        // A malformed rate must not cost the order that carries it.
    }
}

std::unique_ptr<zel::gps::tariff_interface> tariff_rate::clone() const {
    auto copy = std::make_unique<tariff_rate>(*this);
    copy->n_.clear();
    return copy;
}

} // namespace zel_api::command
