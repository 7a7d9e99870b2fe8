#include "gps/trip_data_uploader.h"

#include "controller/http/http_client.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/file_listing.h"
#include "gps/trip_data_file.h"

namespace zel::gps {

// What tells one kind of trip file from the other.
struct trip_data_uploader::kind {
    const char* extension;
    const wchar_t* path;
    const wchar_t* what;
    upload_queue& queue;
    // Parses the text and writes the parts; false when the text does not parse.
    std::function<bool(const std::wstring& text, controller_::multipart_writer& writer)> build;
};

namespace {

// Parses a file's text into a Record and writes its parts; false when the text does not parse.
template <class Record, class Parse, class Write> auto parts_builder(Parse parse, Write write) {
    return [parse, write](const std::wstring& text, controller_::multipart_writer& writer) {
        Record record;
        if (!parse(record, text)) {
            return false;
        }
        write(writer, record);
        return true;
    };
}

} // namespace

trip_data_uploader::trip_data_uploader(std::filesystem::path folder, options settings)
    : folder_(std::move(folder)), settings_(std::move(settings)), tax_data_queue_(folder_, L"tax data"),
      order_track_queue_(folder_, L"order track") {}

trip_data_uploader::~trip_data_uploader() {
    stop();
}

void trip_data_uploader::start() {
    if (started_.exchange(true)) {
        return;
    }
    tax_data_thread_.start([this] { run(tax_data_thread_, &trip_data_uploader::upload_tax_data, L"tax data upload"); });
    order_track_thread_.start(
        [this] { run(order_track_thread_, &trip_data_uploader::upload_order_track, L"order track upload"); });
}

void trip_data_uploader::stop() {
    tax_data_thread_.stop();
    order_track_thread_.stop();
}

void trip_data_uploader::run(stoppable_thread& thread, void (trip_data_uploader::*upload)(), const wchar_t* what) {
    while (thread.wait_for(settings_.period)) {
        try {
            (this->*upload)();
        } catch (const std::exception& error) {
            zel::log(logger::error, std::wstring(what) + L": the pass failed: " + utf8_to_wide(error.what()));
        } catch (...) {
            zel::log(logger::error, std::wstring(what) + L": the pass failed");
        }
    }
}

void trip_data_uploader::upload_tax_data() {
    kind files{".tax_data", L"/zel-driver/add-tax-data/1.0/", L"tax data", tax_data_queue_,
               parts_builder<tax_data_record>(parse_tax_data, write_tax_data_parts)};
    pass(files);
}

void trip_data_uploader::upload_order_track() {
    kind files{".order_track", L"/zel-driver/add-order-track/1.0/", L"order track", order_track_queue_,
               parts_builder<order_track_record>(parse_order_track, write_order_track_parts)};
    pass(files);
}

void trip_data_uploader::pass(kind& files) {
    for (const listed_file& file : files.queue.order(list_files(folder_, files.extension))) {
        std::string bytes;
        const file_read read = read_file_bytes(file.path, trip_file_cap, bytes);
        if (read == file_read::missing) {
            continue;
        }
        if (read == file_read::too_large) {
            files.queue.set_aside(file, L"larger than " + std::to_wstring(trip_file_cap) + L" bytes");
            continue;
        }
        const std::wstring text = trip_file_text(bytes);
        if (text.empty()) {
            if (files.queue.empty_expired(file)) {
                files.queue.remove(file);
            }
            continue;
        }
        controller_::multipart_writer writer;
        if (!files.build(text, writer)) {
            zel::log(logger::error, std::wstring(files.what) + L" upload: " + utf8_to_wide(file.name) +
                                        L" is no valid file of its kind; deleted");
            files.queue.remove(file);
            return;
        }
        controller_::http_client client;
        int posted = 0;
        if (client.open(settings_.endpoint.host, static_cast<int32_t>(settings_.endpoint.port))) {
            posted = client.post_multipart(files.path, writer);
        }
        if (files.queue.settle(file, posted == 1, client.status())) {
            files.queue.remove(file);
        }
        return;
    }
}

} // namespace zel::gps
