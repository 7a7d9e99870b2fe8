// Sums and differences of times that come from outside (a server's "tt", a device clock set to anything): held
// at the 64-bit range instead of overflowing, so that no figure a server sends is undefined behaviour. Pure
// functions, no state; any thread.
#pragma once

#include <cstdint>

namespace zel {

// ms − seconds × 1000, exact where it fits and otherwise held at INT64_MIN or INT64_MAX: a time in milliseconds
// less a time in seconds, e.g. how far an order's "tt" lies ahead of the server's now (negative: past), or how
// long ago a start given in seconds was, seen from a now in milliseconds.
int64_t ms_minus_seconds(int64_t ms, int64_t seconds);

} // namespace zel
