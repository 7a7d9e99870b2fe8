// A ".tax_data" or ".order_track" file's bytes through both parsers: nothing crashes, an accepted record gives
// a binary part of the designed size, and its file text, written and read again, is stable.
#include "controller/http/multipart.h"
#include "gps/trip_data_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

template <class Record, class Parse, class Json, class Parts, class Sized>
void check(const std::wstring& text, Parse parse, Json json_of, Parts write_parts, Sized binary_is_sized) {
    Record record;
    if (!parse(record, text)) {
        return;
    }
    zel::controller_::multipart_writer writer;
    write_parts(writer, record);
    const std::string json = json_of(record);
    Record again;
    if (!binary_is_sized(record) || !parse(again, zel::gps::trip_file_text(json)) || json_of(again) != json) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zel::gps;
    const std::wstring text = trip_file_text(std::string(reinterpret_cast<const char*>(data), size));
    check<tax_data_record>(text, parse_tax_data, tax_data_json, write_tax_data_parts, [](const tax_data_record& r) {
        return tax_data_bytes(r.samples).size() == r.samples.size() * tax_data_sample_size;
    });
    check<order_track_record>(text, parse_order_track, order_track_json, write_order_track_parts,
                              [](const order_track_record& r) {
                                  return track_item_bytes(r.items).size() == r.items.size() * track_item_size;
                              });
    return 0;
}
