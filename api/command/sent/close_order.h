// Closes an order with its bill: the short form carries the totals only, the long form two blocks of cost
// items ("cd" and "ccd") with their totals and one discount common to both.
#pragma once

#include "api/command/command.h"
#include "api/command/sent/trip_detail.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zel_api::command {

class close_order : public command {
public:
    // An integer that is not given is left out of the text.
    explicit close_order(std::wstring s_oid, std::optional<int32_t> sum = std::nullopt,
                         std::optional<int32_t> dtime = std::nullopt, std::optional<int32_t> dist = std::nullopt,
                         std::optional<int32_t> ucts = std::nullopt);

    void set_cd_total_cost(float value);
    void set_ccd_total_cost(float value);
    void set_discount(float value);
    void add_cd_detail(const trip_detail& item);
    void add_ccd_detail(const trip_detail& item);

    std::wstring to_json() const override;

private:
    std::wstring s_oid_;
    std::optional<int32_t> sum_;
    std::optional<int32_t> dtime_;
    std::optional<int32_t> dist_;
    std::optional<int32_t> ucts_;
    std::vector<trip_detail> cd_details_;
    std::vector<trip_detail> ccd_details_;
    float cd_total_cost_ = 0.0f;
    float ccd_total_cost_ = 0.0f;
    float discount_ = 0.0f;
};

} // namespace zel_api::command
