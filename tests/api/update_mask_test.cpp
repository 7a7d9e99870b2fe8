#include "api/command_names.h"
#include "api/update_mask.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zel_api {
namespace {

using test::mask_bit_names;

TEST(update_mask, each_name_sets_its_own_bit_and_no_other) {
    for (std::size_t row = 0; row < mask_bit_names().size(); ++row) {
        update_mask mask;
        mask.set(mask_bit_names()[row]);
        mask.set(mask_bit_names()[row]);
        EXPECT_EQ(mask.bits(), uint64_t{1} << (row + 1)) << mask_bit_names()[row];
        for (std::size_t other = 0; other < mask_bit_names().size(); ++other) {
            EXPECT_EQ(mask.test(mask_bit_names()[other]), other == row)
                << mask_bit_names()[row] << " / " << mask_bit_names()[other];
        }
    }
}

TEST(update_mask, names_without_a_bit_change_nothing) {
    update_mask mask;
    for (const wchar_t* name : {L"currency", L"riv", L"cars", L"msg-del", L"callsign-info", L"ref-tariff", L"Order",
                                L"order ", L"", L"login"}) {
        mask.set(name);
        EXPECT_FALSE(mask.test(name)) << name;
        EXPECT_EQ(update_mask::bit_of(name), 0) << name;
    }
    EXPECT_TRUE(mask.empty());
    EXPECT_EQ(mask.payload(), nullptr);
    for (const std::wstring& name : mask_bit_names()) {
        EXPECT_FALSE(mask.test(name));
    }
}

TEST(update_mask, bits_stay_within_the_known_ones) {
    update_mask mask;
    for (const std::wstring& name : mask_bit_names()) {
        mask.set(name);
    }
    EXPECT_EQ(mask.bits(), update_mask::known_bits);
    EXPECT_EQ(mask.bits() & 1u, 0u);
}

TEST(update_mask, copies_share_the_payload_and_keep_their_own_bits) {
    auto first = std::make_shared<command::cmd_result>();
    first->cmd_name = L"login";
    update_mask mask;
    mask.set(L"disconnect_local");
    mask.set_payload(first);
    update_mask copy = mask;
    copy.set(L"order");
    EXPECT_EQ(copy.payload(), mask.payload());
    EXPECT_TRUE(copy.test(L"disconnect_local"));
    EXPECT_FALSE(copy.test(L"disconnect_global"));
    EXPECT_FALSE(mask.test(L"order"));

    auto second = std::make_shared<command::cmd_result>();
    mask.set_payload(second);
    EXPECT_EQ(mask.payload(), second);
    EXPECT_EQ(copy.payload()->cmd_name, L"login");
}

TEST(update_mask, the_result_of_a_command_is_the_payload_naming_it) {
    update_mask mask;
    EXPECT_EQ(mask.result_of(key::login), nullptr);
    auto result = std::make_shared<command::cmd_result>();
    result->cmd_name = login_name();
    mask.set(key::cmd_result);
    mask.set_payload(result);
    EXPECT_EQ(mask.result_of(key::login), result.get());
    EXPECT_EQ(mask.result_of(key::close_order), nullptr);
    // A key is the wire name itself: every one of them has its bit or none, as the text does.
    EXPECT_EQ(update_mask::bit_of(key::order_offer_cancel), update_mask::bit_of(L"order-offer-cancel"));
}

} // namespace
} // namespace zel_api
