// The figures of an order as the order screens write them: the minimum sum in whole roubles and the distance
// to the driver in kilometres. Stateless.
#pragma once

#include <cstdint>
#include <string>

namespace zel::form {

// The whole roubles of a sum, truncated toward zero ("149" for 149.9, "-5" for -5.7). A sum beyond the 32-bit
// range is written as the nearest end of it, and one that is not a number as "0": converting those to an
// integer would be undefined.
std::wstring whole_roubles_text(float sum);

// The class picture of an order's "st" (7049 to 7059); 0 for a class outside the table.
int order_class_image(int32_t st);

// Metres as kilometres with one decimal ("2.3" for 2300).
std::wstring kilometres_text(int32_t metres);

// The price and the distance as the line that shows them side by side holds them, each in its half: the price
// in whole roubles held between -99999 and 999999, the distance held at 999.9 km. Larger figures would run into
// each other.
std::wstring line_roubles_text(float sum);
std::wstring line_kilometres_text(int32_t metres);

} // namespace zel::form
