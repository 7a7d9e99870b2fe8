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
                read_figure(key, v, cdu_);
            } else if (key == "cdtu") {
                read_figure(key, v, cdtu_);
            } else if (key == "ctu") {
                read_figure(key, v, ctu_);
            } else if (key == "cp") {
                read_figure(key, v, cp_);
            } else if (key == "dp") {
                read_figure(key, v, dp_);
            } else if (key == "pd") {
                read_figure(key, v, pd_);
            } else if (key == "pt") {
                read_figure(key, v, pt_);
            } else if (key == "p") {
                read_figure(key, v, p_);
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
