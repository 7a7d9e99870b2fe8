#include "controller/tariff_slots.h"

#include <gtest/gtest.h>

namespace zel::controller_ {
namespace {

TEST(tariff_slots, seven_numbered_slots_start_at_zero) {
    const tariff_slots slots(L"/nowhere/tariff");
    EXPECT_EQ(slots.path(), L"/nowhere/tariff");
    ASSERT_EQ(slots.slots().size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        const tariff_slot& slot = *slots.slots()[i];
        EXPECT_EQ(slot.name, std::to_wstring(i + 1));
        EXPECT_EQ(slot.values, (std::array<int32_t, 5>{}));
        EXPECT_EQ(slot.flags, (std::array<uint8_t, 3>{}));
    }
}

} // namespace
} // namespace zel::controller_
