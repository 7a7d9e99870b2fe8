// NMEA 0183 sentences from a serial GPS receiver: taking complete sentences out of the bytes received,
// parsing the three that carry the position (GGA, RMC, GSA) from any satellite system's talker, and applying
// them to the receiver's fix. GSV and PSRF sentences are recognised as signs of life only.
//
// Every value is read from the characters of its own field: degrees and minutes with any number of decimals,
// one- or two-digit counts. A coordinate that is no place on the earth (minutes of 60 or more, a latitude
// beyond 90 degrees, a longitude beyond 180) is refused, and a position without both coordinates is no fix;
// the record names why, so that the reader can say it once. A position the receiver itself calls void is no
// valid fix either: a GGA of fix quality 0 (none), 7 (manual input) or 8 (simulation), an RMC whose mode
// indicator (field 12, where the receiver sends it) is "N". Nothing here keeps state or takes a lock.
#pragma once

#include "gps/nmea_fix.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zel::gps {

// A value of a sentence; missing when its field was empty.
template <typename T> struct nmea_field {
    T value{};
    bool missing = true;
};

// Why a GGA or RMC sentence gave no position. missing counts only where the sentence claims a fix (GGA
// quality not 0, RMC status "A"): a receiver without one sends empty fields every second.
enum class position_fault : uint8_t {
    none,
    missing,           // an empty coordinate or hemisphere field
    unreadable,        // a coordinate not made of ddmm.mmmm digits, or an unknown hemisphere letter
    minutes_over_59,   // minutes of 60 or more
    latitude_over_90,  // more than 90 degrees
    longitude_over_180 // more than 180 degrees
};
constexpr size_t position_fault_kinds = 6;

// The fault in words, for the log.
const wchar_t* position_fault_text(position_fault fault);

struct nmea_gga {
    nmea_field<nmea_time> time;
    nmea_field<double> latitude;
    nmea_field<double> longitude;
    nmea_field<int32_t> satellites;
    nmea_field<float> hdop; // -1.0 when the field is not a number
    nmea_field<double> altitude;
    // Fix quality 0, 7 or 8: a receiver in a tunnel repeats its last position with quality 0, which would
    // otherwise look like a car standing still.
    bool void_quality = false;
    // Why latitude or longitude is missing; none when both are there, or when neither is and no fix is claimed.
    position_fault fault = position_fault::none;
};

struct nmea_rmc {
    nmea_field<nmea_time> time;
    bool active = false; // status "A"
    nmea_field<double> latitude;
    nmea_field<double> longitude;
    nmea_field<double> speed_knots;
    nmea_field<double> course;
    nmea_field<nmea_date> date;
    bool void_mode = false; // mode indicator "N"; a sentence without field 12 has none
    position_fault fault = position_fault::none;
};

struct nmea_gsa {
    char fix_type = 0; // '1', '2' or '3'
    nmea_field<float> pdop;
    nmea_field<float> hdop;
    nmea_field<float> vdop;
};

struct nmea_gsv {};
struct nmea_psrf {};

using nmea_sentence = std::variant<nmea_gga, nmea_rmc, nmea_gsa, nmea_gsv, nmea_psrf>;

// A sentence still without its line feed is dropped once it is longer than this: garbage without line ends
// would otherwise grow the receive buffer without bound.
constexpr size_t nmea_max_sentence = 1024;

enum class extract_result {
    need_more, // no complete sentence in the buffer
    dropped,   // a line with a bad checksum, or an overlong one, was removed
    sentence,  // a sentence with a good checksum was removed and returned
};

// Takes the first complete sentence out of the received bytes: from "$" up to, not including, its line feed
// ("*", the two checksum digits and the carriage return included). Bytes before "$" are dropped.
extract_result extract_sentence(std::string& buffer, std::string& sentence);

// The record of a sentence as extract_sentence returns it, or nothing for a sentence this reader ignores or
// cannot read.
std::optional<nmea_sentence> parse_sentence(std::string_view sentence);

// Record type codes: GGA 8, RMC 1, GSA 9, GSV 10, PSRF 0.
int nmea_type(const nmea_sentence& sentence);

// Why a GGA or RMC record gave no position; none for the other records.
position_fault fault_of(const nmea_sentence& sentence);

// Updates the fix from a GGA, RMC or GSA record; the others change nothing. A GGA or RMC without both
// coordinates leaves the fix not valid at 0,0; one that the receiver calls void leaves it not valid at its
// coordinates.
void apply_sentence(nmea_fix& fix, const nmea_sentence& sentence);

} // namespace zel::gps
