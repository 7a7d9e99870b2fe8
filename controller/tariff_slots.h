// Seven numbered tariff slots in their initial state, owned by the controller. Nothing reads or changes them
// yet; the object keeps its path and touches no file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zel::controller_ {

struct tariff_slot {
    std::wstring name;
    std::array<int32_t, 5> values{};
    std::array<uint8_t, 3> flags{};
};

class tariff_slots {
public:
    // Keeps path and makes the slots "1" to "7", every value 0.
    explicit tariff_slots(std::wstring path);

    const std::wstring& path() const {
        return path_;
    }
    const std::vector<std::shared_ptr<tariff_slot>>& slots() const {
        return slots_;
    }

private:
    std::wstring path_;
    std::vector<std::shared_ptr<tariff_slot>> slots_;
};

} // namespace zel::controller_
