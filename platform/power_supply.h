// The power status from the kernel's power-supply class (/sys/class/power_supply): whether the device runs on
// external power and how full its battery is.
//
// Supplies whose scope is "Device" (the battery of a mouse or a headset) are not the system's and are
// skipped. Mains online: a supply of type Mains, USB (any USB kind) or Wireless reports online (1, or 2 for a
// programmable USB supply), or no such supply exists (a machine without a battery charger runs on mains). Battery
// percent: the capacity of the first supply of type Battery in name order, 255 when there is no battery or its capacity
// is unreadable or outside 0..100.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

struct power_status {
    bool mains_online = false;
    uint8_t battery_percent = 0;
};

class power_supply {
public:
    explicit power_supply(std::filesystem::path root = default_root());

    // MORVIK_POWER_SUPPLY when set (tests and trials give a folder of their own), else the kernel's folder.
    static std::filesystem::path default_root();

    // Whether the root folder exists: without it the platform cannot tell the power status at all.
    bool available() const;
    // The current status, or nothing when the root folder can't be read.
    std::optional<power_status> read() const;

private:
    std::filesystem::path root_;
};
