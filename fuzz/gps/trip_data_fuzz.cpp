// A ".tax_data" or ".order_track" file's bytes through both parsers: nothing crashes, an accepted record gives
// upload parts of the designed sizes, and its file text, written and read again, is stable.
#include "controller/http/multipart.h"
#include "gps/trip_data_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zel::gps;
    const std::wstring text = trip_file_text(std::string(reinterpret_cast<const char*>(data), size));

    tax_data_record tax;
    if (parse_tax_data(tax, text)) {
        if (tax_data_bytes(tax.samples).size() != tax.samples.size() * tax_data_sample_size) {
            std::abort();
        }
        zel::controller_::multipart_writer writer;
        write_tax_data_parts(writer, tax);
        const std::string json = tax_data_json(tax);
        tax_data_record again;
        if (!parse_tax_data(again, trip_file_text(json)) || tax_data_json(again) != json) {
            std::abort();
        }
    }

    order_track_record track;
    if (parse_order_track(track, text)) {
        if (track_item_bytes(track.items).size() != track.items.size() * track_item_size) {
            std::abort();
        }
        zel::controller_::multipart_writer writer;
        write_order_track_parts(writer, track);
        const std::string json = order_track_json(track);
        order_track_record again;
        if (!parse_order_track(again, trip_file_text(json)) || order_track_json(again) != json) {
            std::abort();
        }
    }
    return 0;
}
