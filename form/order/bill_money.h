// The bill's money rules as the screens name them (they live with the bill record, below the screens).
#pragma once

#include "api/bill_money.h"

namespace zel::form {

using zel_api::clamped_int32;
using zel_api::fare_rule_max;
using zel_api::finite_or_zero;
using zel_api::whole_roubles;

} // namespace zel::form
