#include "gps/nmea_parser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace zel::gps {
namespace {

constexpr double knots_to_kmh = 1.852;

// Talkers of the satellite systems whose GGA, RMC, GSA and GSV sentences are read: GPS, any combination,
// GLONASS, Galileo, BeiDou (both of its ids).
constexpr std::array<std::string_view, 6> talkers = {"GP", "GN", "GL", "GA", "BD", "GB"};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool all_digits(std::string_view text) {
    for (char c : text) {
        if (!is_digit(c)) {
            return false;
        }
    }
    return true;
}

int hex_value(char c) {
    if (is_digit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool known_talker(std::string_view talker) {
    for (auto known : talkers) {
        if (talker == known) {
            return true;
        }
    }
    return false;
}

// Fields of a sentence: everything up to "*" (or the end, less a trailing carriage return), split at every
// ","; field 0 is the name with its "$".
std::vector<std::string_view> split_fields(std::string_view sentence) {
    std::string_view data = sentence;
    const size_t star = data.find('*');
    if (star != std::string_view::npos) {
        data = data.substr(0, star);
    } else if (!data.empty() && data.back() == '\r') {
        data.remove_suffix(1);
    }
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = data.find(',', start);
        fields.push_back(data.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// Optional sign, digits, optional point and digits; nothing else.
bool is_decimal(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (is_digit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

template <typename T> nmea_field<T> real_field(std::string_view text, T fallback) {
    if (text.empty()) {
        return {};
    }
    nmea_field<T> out{fallback, false};
    if (!is_decimal(text)) {
        return out;
    }
    if (text[0] == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // No field of these sentences comes near a billion; larger numbers are noise that would overflow later.
    if (error == std::errc() && end == text.data() + text.size() && std::fabs(value) < 1.0e9) {
        out.value = static_cast<T>(value);
    }
    return out;
}

// A count of one or two digits.
nmea_field<int32_t> count_field(std::string_view text) {
    if (text.empty() || text.size() > 2 || !all_digits(text)) {
        return {};
    }
    int32_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return {value, false};
}

int two_digits(std::string_view text, size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// hhmmss with an optional point and fraction of a second.
nmea_field<nmea_time> time_field(std::string_view text) {
    if (text.size() < 6 || !all_digits(text.substr(0, 6))) {
        return {};
    }
    nmea_time time;
    time.hour = static_cast<uint8_t>(two_digits(text, 0));
    time.minute = static_cast<uint8_t>(two_digits(text, 2));
    time.second = static_cast<uint8_t>(two_digits(text, 4));
    if (text.size() > 6) {
        if (text[6] != '.' || !all_digits(text.substr(7))) {
            return {};
        }
        int ms = 0;
        for (size_t i = 7; i < 10; ++i) {
            ms = ms * 10 + (i < text.size() ? text[i] - '0' : 0);
        }
        time.millisecond = static_cast<uint16_t>(ms);
    }
    return {time, false};
}

// ddmmyy; "000000" counts as missing.
nmea_field<nmea_date> date_field(std::string_view text) {
    if (text.size() != 6 || !all_digits(text) || text == "000000") {
        return {};
    }
    nmea_date date;
    date.day = static_cast<uint8_t>(two_digits(text, 0));
    date.month = static_cast<uint8_t>(two_digits(text, 2));
    date.year = static_cast<uint16_t>(2000 + two_digits(text, 4));
    return {date, false};
}

// Degrees and decimal minutes (ddmm.mmmm for a latitude, dddmm.mmmm for a longitude, any number of decimals)
// with the hemisphere letter that negates it. Four decimals give exactly dd + (mm + mmmm x 0.0001) / 60.
// A value that is no coordinate is missing, and fault says why.
nmea_field<double> coordinate_field(std::string_view text, std::string_view hemisphere, size_t degree_digits,
                                    char positive, char negative, position_fault& fault) {
    static constexpr double decimal_scale[] = {1.0,     0.1,      0.01,      0.001,      0.0001,
                                               0.00001, 0.000001, 0.0000001, 0.00000001, 0.000000001};
    if (text.empty() || hemisphere.empty()) {
        fault = position_fault::missing;
        return {};
    }
    const char letter = hemisphere[0] >= 'a' && hemisphere[0] <= 'z' ? hemisphere[0] - ('a' - 'A') : hemisphere[0];
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() || whole.size() > degree_digits + 2 || !all_digits(whole) || !all_digits(decimals) ||
        hemisphere.size() != 1 || (letter != positive && letter != negative)) {
        fault = position_fault::unreadable;
        return {};
    }
    int whole_value = 0;
    for (char c : whole) {
        whole_value = whole_value * 10 + (c - '0');
    }
    // Decimals beyond the ninth move the position by less than a millimetre.
    const size_t used = decimals.size() < 9 ? decimals.size() : 9;
    int fraction = 0;
    for (size_t i = 0; i < used; ++i) {
        fraction = fraction * 10 + (decimals[i] - '0');
    }
    const int degrees = whole_value / 100;
    const int minutes = whole_value % 100;
    if (minutes >= 60) {
        fault = position_fault::minutes_over_59;
        return {};
    }
    double value = degrees + (minutes + fraction * decimal_scale[used]) / 60;
    const double limit = degree_digits == 2 ? 90.0 : 180.0;
    if (value > limit) {
        fault = degree_digits == 2 ? position_fault::latitude_over_90 : position_fault::longitude_over_180;
        return {};
    }
    if (letter == negative) {
        value = -value;
    }
    return {value, false};
}

// The fault of a position: a refused coordinate (the latitude's first), else a missing one when the sentence
// claims a fix.
position_fault position_fault_of(position_fault latitude, position_fault longitude, bool fix_claimed) {
    for (const position_fault fault : {latitude, longitude}) {
        if (fault != position_fault::none && fault != position_fault::missing) {
            return fault;
        }
    }
    const bool missing = latitude == position_fault::missing || longitude == position_fault::missing;
    return missing && fix_claimed ? position_fault::missing : position_fault::none;
}

nmea_gga parse_gga(const std::vector<std::string_view>& f) {
    nmea_gga gga;
    gga.time = time_field(f[1]);
    position_fault latitude = position_fault::none;
    position_fault longitude = position_fault::none;
    gga.latitude = coordinate_field(f[2], f[3], 2, 'N', 'S', latitude);
    gga.longitude = coordinate_field(f[4], f[5], 3, 'E', 'W', longitude);
    gga.fault = position_fault_of(latitude, longitude, !f[6].empty() && f[6] != "0");
    gga.satellites = count_field(f[7]);
    gga.hdop = real_field<float>(f[8], -1.0f);
    gga.altitude = real_field<double>(f[9], 0.0);
    gga.void_quality = f[6] == "0" || f[6] == "7" || f[6] == "8";
    return gga;
}

nmea_rmc parse_rmc(const std::vector<std::string_view>& f) {
    nmea_rmc rmc;
    rmc.time = time_field(f[1]);
    rmc.active = f[2] == "A";
    position_fault latitude = position_fault::none;
    position_fault longitude = position_fault::none;
    rmc.latitude = coordinate_field(f[3], f[4], 2, 'N', 'S', latitude);
    rmc.longitude = coordinate_field(f[5], f[6], 3, 'E', 'W', longitude);
    rmc.fault = position_fault_of(latitude, longitude, rmc.active);
    rmc.speed_knots = real_field<double>(f[7], 0.0);
    rmc.course = real_field<double>(f[8], 0.0);
    rmc.date = date_field(f[9]);
    rmc.void_mode = f.size() > 12 && f[12] == "N";
    return rmc;
}

nmea_field<float> dop_field(std::string_view text) {
    return text.size() < 2 ? nmea_field<float>{50.0f, true} : real_field<float>(text, 50.0f);
}

nmea_gsa parse_gsa(const std::vector<std::string_view>& f) {
    nmea_gsa gsa;
    gsa.fix_type = f[2].size() == 1 ? f[2][0] : 0;
    gsa.pdop = dop_field(f[15]);
    gsa.hdop = dop_field(f[16]);
    gsa.vdop = dop_field(f[17]);
    return gsa;
}

bool contains_gsv(std::string_view sentence) {
    for (size_t at = sentence.find('$'); at != std::string_view::npos; at = sentence.find('$', at + 1)) {
        if (sentence.size() - at >= 6 && known_talker(sentence.substr(at + 1, 2)) &&
            sentence.substr(at + 3, 3) == "GSV") {
            return true;
        }
    }
    return false;
}

// A position needs both coordinates: one alone would put the car on the equator or the prime meridian.
void apply_position(nmea_fix& fix, const nmea_field<double>& latitude, const nmea_field<double>& longitude) {
    if (latitude.missing || longitude.missing) {
        fix.latitude = 0.0;
        fix.longitude = 0.0;
        fix.valid = 0;
        return;
    }
    fix.latitude = latitude.value;
    fix.longitude = longitude.value;
    fix.valid = 1;
    if (std::fabs(fix.latitude) < 0.000001 && std::fabs(fix.longitude) < 0.000001) {
        fix.valid = 0;
    }
}

} // namespace

extract_result extract_sentence(std::string& buffer, std::string& sentence) {
    const size_t start = buffer.find('$');
    if (start == std::string::npos) {
        buffer.clear();
        return extract_result::need_more;
    }
    buffer.erase(0, start);
    const size_t line_feed = buffer.find('\n');
    if (line_feed == std::string::npos) {
        if (buffer.size() > nmea_max_sentence) {
            buffer.clear();
            return extract_result::dropped;
        }
        return extract_result::need_more;
    }
    const std::string_view line(buffer.data(), line_feed);
    // "*", two hexadecimal digits and the carriage return end the line.
    const size_t star = line.find('*');
    bool good = line.size() <= nmea_max_sentence && star != std::string_view::npos && star + 4 == line.size();
    if (good) {
        const int high = hex_value(line[star + 1]);
        const int low = hex_value(line[star + 2]);
        int sum = 0;
        for (size_t i = 1; i < star; ++i) {
            sum ^= static_cast<unsigned char>(line[i]);
        }
        good = high >= 0 && low >= 0 && sum == high * 16 + low;
    }
    if (good) {
        sentence.assign(line);
        buffer.erase(0, line_feed + 1);
        return extract_result::sentence;
    }
    // A bad line is dropped alone, so the good sentences after it in the same read are kept; when noise ran
    // into a sentence, the sentence is tried from its own "$".
    const size_t next = line.find('$', 1);
    buffer.erase(0, next == std::string_view::npos ? line_feed + 1 : next);
    return extract_result::dropped;
}

std::optional<nmea_sentence> parse_sentence(std::string_view sentence) {
    if (sentence.size() < 10 || sentence[0] != '$') {
        return std::nullopt;
    }
    const std::string_view talker = sentence.substr(1, 2);
    const std::string_view type = sentence.substr(3, 3);
    const bool position = known_talker(talker) && (type == "GGA" || type == "RMC" || type == "GSA");
    if (!position) {
        if (contains_gsv(sentence)) {
            return nmea_gsv{};
        }
        if (sentence.find("$PSRF") != std::string_view::npos) {
            return nmea_psrf{};
        }
        return std::nullopt;
    }
    const auto fields = split_fields(sentence);
    const size_t last = type == "GGA" ? 14 : type == "RMC" ? 11 : 17;
    if (fields[0].size() != 6 || fields.size() <= last) {
        return std::nullopt;
    }
    if (type == "GGA") {
        return parse_gga(fields);
    }
    if (type == "RMC") {
        return parse_rmc(fields);
    }
    return parse_gsa(fields);
}

const wchar_t* position_fault_text(position_fault fault) {
    switch (fault) {
    case position_fault::none:
        break;
    case position_fault::missing:
        return L"latitude or longitude missing where a fix is claimed";
    case position_fault::unreadable:
        return L"a coordinate that is not ddmm.mmmm with N, S, E or W";
    case position_fault::minutes_over_59:
        return L"a coordinate with 60 minutes or more";
    case position_fault::latitude_over_90:
        return L"a latitude beyond 90 degrees";
    case position_fault::longitude_over_180:
        return L"a longitude beyond 180 degrees";
    }
    return L"no fault";
}

position_fault fault_of(const nmea_sentence& sentence) {
    if (const auto* gga = std::get_if<nmea_gga>(&sentence)) {
        return gga->fault;
    }
    if (const auto* rmc = std::get_if<nmea_rmc>(&sentence)) {
        return rmc->fault;
    }
    return position_fault::none;
}

int nmea_type(const nmea_sentence& sentence) {
    static constexpr int codes[] = {8, 1, 9, 10, 0};
    return codes[sentence.index()];
}

void apply_sentence(nmea_fix& fix, const nmea_sentence& sentence) {
    if (const auto* gga = std::get_if<nmea_gga>(&sentence)) {
        apply_position(fix, gga->latitude, gga->longitude);
        fix.satellites = gga->satellites.missing ? 0 : gga->satellites.value;
        fix.altitude = gga->altitude.missing ? 0.0 : gga->altitude.value;
        fix.hdop = gga->hdop.missing ? 0.0f : gga->hdop.value;
        if (!gga->time.missing) {
            fix.time = gga->time.value;
        }
        if (fix.satellites < 1 || gga->void_quality) {
            fix.valid = 0;
        }
    } else if (const auto* rmc = std::get_if<nmea_rmc>(&sentence)) {
        apply_position(fix, rmc->latitude, rmc->longitude);
        if (!rmc->time.missing) {
            fix.time = rmc->time.value;
        }
        if (!rmc->date.missing) {
            fix.date = rmc->date.value;
        }
        fix.speed = rmc->speed_knots.missing ? 0.0 : rmc->speed_knots.value * knots_to_kmh;
        fix.course = rmc->course.missing ? 0.0 : rmc->course.value;
        if (!rmc->active || rmc->void_mode) {
            fix.valid = 0;
        }
    } else if (const auto* gsa = std::get_if<nmea_gsa>(&sentence)) {
        fix.pdop = gsa->pdop.missing ? 50.0f : gsa->pdop.value;
        fix.hdop = gsa->hdop.missing ? 50.0f : gsa->hdop.value;
        fix.vdop = gsa->vdop.missing ? 50.0f : gsa->vdop.value;
        fix.fix = gsa->fix_type == '2' || gsa->fix_type == '3';
        fix.fix_3d = gsa->fix_type == '3';
    }
}

} // namespace zel::gps
