// The dump reader never crashes and accepts only what the writer could have written (an accepted file
// encodes back to the same bytes); a taximeter resumes any accepted dump and prices it without hanging,
// whatever its times and intervals hold.
#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

std::filesystem::path folder;

void remove_folder() {
    std::filesystem::remove_all(folder);
}

void set_up() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tax_dump_fuzz_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    folder = pattern;
    zel::set_app_folder(folder.wstring());
    std::atexit(remove_folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (set_up(), true);
    static zel::manual_clock clock(1'600'000'600'000LL);
    (void)ready;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<zel::gps::tax_dump> dump = zel::gps::tax_dump::decode(bytes, nullptr);
    if (!dump) {
        return 0;
    }
    if (dump->encode() != bytes) {
        std::abort();
    }

    std::ofstream(zel::gps::dump_file::path(), std::ios::binary | std::ios::trunc) << bytes;
    // A sane tariff and one such as a broken server could send.
    for (const float scale : {1.0f, 1e30f}) {
        zel::gps::tariff_params tariff;
        tariff.set_base_price(50);
        tariff.set_price_per_km(10 * scale);
        tariff.set_price_per_minute(scale > 1 ? std::nanf("") : 5);
        tariff.set_speed_limit(20);
        tariff.set_time_cost_cap(30 * scale);
        tariff.set_included_time(scale);
        tariff.set_included_distance(scale > 1 ? -scale : 0);
        tariff.set_downtime_price(5 * scale);
        zel::gps::taximeter meter;
        meter.set_tariff(&tariff);
        meter.start(zel::utf16_to_wide(dump->order_id));
        meter.begin_downtime();
        meter.recompute();
        zel::gps::trip_export trip;
        meter.export_trip(trip);
        (void)meter.charged_distance();
        (void)meter.open_downtime_seconds();
        (void)meter.downtime_window();
        (void)meter.downtime_due();
        meter.end_downtime();
    }
    return 0;
}
