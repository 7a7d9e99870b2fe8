#include "controller/tariff_slots.h"

#include <utility>

namespace zel::controller_ {

tariff_slots::tariff_slots(std::wstring path) : path_(std::move(path)) {
    for (int n = 1; n <= 7; ++n) {
        auto slot = std::make_shared<tariff_slot>();
        slot->name = std::to_wstring(n);
        slots_.push_back(std::move(slot));
    }
}

} // namespace zel::controller_
