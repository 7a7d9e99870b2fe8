#include "gps/taximeter/tariff_params.h"

namespace zel::gps {

std::unique_ptr<tariff_interface> tariff_params::clone() const {
    return std::make_unique<tariff_params>(*this);
}

} // namespace zel::gps
