#include "gps/json_text.h"

namespace zel::gps {

bool parse_json_object(const std::string& text, nlohmann::json& out) {
    bool too_deep = false;
    const nlohmann::json::parser_callback_t limit = [&too_deep](int depth, nlohmann::json::parse_event_t,
                                                                nlohmann::json&) {
        if (depth > json_max_depth) {
            too_deep = true;
            return false;
        }
        return true;
    };
    out = nlohmann::json::parse(text, limit, false);
    return !too_deep && out.is_object();
}

std::string dump_json(const ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace zel::gps
