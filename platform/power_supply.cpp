#include "platform/power_supply.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The first line of one attribute file, empty when it can't be read.
std::string attribute(const std::filesystem::path& supply, const char* name) {
    std::ifstream in(supply / name);
    std::string line;
    if (in) {
        std::getline(in, line);
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

uint8_t capacity_percent(const std::string& text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > 100) {
        return 255;
    }
    return static_cast<uint8_t>(value);
}

} // namespace

power_supply::power_supply(std::filesystem::path root) : root_(std::move(root)) {}

std::filesystem::path power_supply::default_root() {
    const char* folder = std::getenv("MORVIK_POWER_SUPPLY");
    return folder && *folder ? folder : "/sys/class/power_supply";
}

bool power_supply::available() const {
    std::error_code error;
    return std::filesystem::is_directory(root_, error);
}

std::optional<power_status> power_supply::read() const {
    std::error_code error;
    std::vector<std::filesystem::path> supplies;
    for (std::filesystem::directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
        supplies.push_back(it->path());
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(supplies.begin(), supplies.end());

    bool external_supply = false;
    bool external_online = false;
    bool battery_found = false;
    power_status status;
    status.battery_percent = 255;
    for (const auto& supply : supplies) {
        if (attribute(supply, "scope") == "Device") {
            continue;
        }
        const std::string type = attribute(supply, "type");
        if (type == "Mains" || type.starts_with("USB") || type == "Wireless") {
            external_supply = true;
            // online is 1, or 2 for a programmable USB supply; 0 is offline.
            const std::string online = attribute(supply, "online");
            external_online = external_online || (!online.empty() && online != "0");
        } else if (type == "Battery" && !battery_found) {
            battery_found = true;
            status.battery_percent = capacity_percent(attribute(supply, "capacity"));
        }
    }
    status.mains_online = !external_supply || external_online;
    return status;
}
