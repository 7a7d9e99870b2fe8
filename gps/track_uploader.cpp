#include "gps/track_uploader.h"

#include "controller/http/http_client.h"
#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/json_text.h"
#include "gps/track_file.h"
#include "gps/track_file_writer.h"

namespace zel::gps {
namespace {

constexpr wchar_t track_path[] = L"/put-track/v1.0";

// The device record that asks for an upload id.
std::string device_record(const std::wstring& device_text) {
    const ordered_json record = {
        {"IMEI", wide_to_utf8(device_text)}, {"device-name", ""}, {"device-time", now_seconds()}};
    return dump_json(record);
}

// The "uuid" of the answer object, or empty.
std::wstring uuid_of_answer(const std::string& answer) {
    nlohmann::json doc;
    if (!parse_json_object(wide_to_utf8(utf8_to_wide(answer)), doc)) {
        return L"";
    }
    const auto it = doc.find("uuid");
    if (it == doc.end() || !it->is_string()) {
        return L"";
    }
    return utf8_to_wide(it->get_ref<const std::string&>());
}

} // namespace

track_uploader::track_uploader(std::filesystem::path folder, std::wstring host, std::wstring id_path, uint32_t port,
                               std::wstring device_text, options settings)
    : folder_(std::move(folder)), host_(std::move(host)), id_path_(std::move(id_path)), port_(port),
      device_text_(std::move(device_text)), settings_(settings), queue_(folder_, L"track") {}

track_uploader::~track_uploader() {
    stop();
}

void track_uploader::start() {
    if (started_.exchange(true)) {
        return;
    }
    thread_.start([this] {
        while (thread_.wait_for(settings_.period)) {
            run_pass();
        }
    });
}

void track_uploader::stop() {
    thread_.stop();
}

void track_uploader::run_pass() {
    try {
        tick();
    } catch (const std::exception& error) {
        zel::log(logger::error, L"track upload: the pass failed: " + utf8_to_wide(error.what()));
    } catch (...) {
        zel::log(logger::error, L"track upload: the pass failed");
    }
}

void track_uploader::tick() {
    if (upload_id_.empty()) {
        upload_id_ = get_uuid();
    }
    if (upload_id_.size() == uuid_length) {
        upload_one();
    }
}

std::wstring track_uploader::get_uuid() {
    const std::filesystem::path file = folder_ / "uuid";
    const std::wstring stored = read_first_word(file);
    if (stored.size() == uuid_length) {
        return stored;
    }
    controller_::http_client client;
    if (!client.open(host_, static_cast<int32_t>(port_))) {
        return L"";
    }
    const std::string request = device_record(device_text_);
    uint32_t size = static_cast<uint32_t>(request.size());
    if (client.post_octet_stream(id_path_, request.data(), size) != 1) {
        return L"";
    }
    // Read to the end, but no further than the cap: the id is a few dozen bytes.
    std::string answer;
    char buffer[256];
    for (uint32_t count = sizeof buffer; answer.size() <= uuid_answer_cap; count = sizeof buffer) {
        if (!client.read(buffer, count) || count == 0) {
            break;
        }
        answer.append(buffer, count);
    }
    if (answer.size() > uuid_answer_cap) {
        zel::log(logger::warning, L"track upload: the upload id answer is longer than " +
                                      std::to_wstring(uuid_answer_cap) + L" bytes; ignored");
        return L"";
    }
    const std::wstring uuid = uuid_of_answer(answer);
    if (uuid.size() != uuid_length) {
        zel::log(logger::warning, L"track upload: no usable upload id in the answer " + utf8_to_wide(answer));
        return L"";
    }
    if (!write_file_atomic(file, wide_to_utf8(uuid))) {
        zel::log(logger::warning, L"track upload: cannot store the upload id in " + utf8_to_wide(file.string()));
    }
    return uuid;
}

void track_uploader::upload_one() {
    for (const listed_file& file : queue_.order(sort_files(folder_, ".trk"))) {
        std::string bytes;
        file_read read;
        {
            std::lock_guard guard(track_file_lock());
            read = read_file_bytes(file.path, track_file_cap, bytes);
        }
        if (read == file_read::missing) {
            continue;
        }
        if (read == file_read::too_large) {
            std::lock_guard guard(track_file_lock());
            queue_.set_aside(file, L"larger than " + std::to_wstring(track_file_cap) + L" bytes");
            continue;
        }
        if (bytes.empty()) {
            if (queue_.empty_expired(file)) {
                std::lock_guard guard(track_file_lock());
                std::error_code error;
                if (std::filesystem::file_size(file.path, error) == 0 && !error) {
                    queue_.remove(file);
                }
            }
            continue;
        }
        post(file, bytes);
        return;
    }
}

void track_uploader::post(const listed_file& file, const std::string& bytes) {
    std::vector<std::vector<track_record>> batches;
    std::string fault;
    if (!read_track_file(bytes, batches, fault)) {
        zel::log(logger::warning, L"track upload: " + utf8_to_wide(file.name) + L" is damaged (" + utf8_to_wide(fault) +
                                      L"); sent as it is");
    }
    const std::string body = wide_to_utf8(upload_id_) + bytes;
    controller_::http_client client;
    int posted = 0;
    if (client.open(host_, static_cast<int32_t>(port_))) {
        uint32_t size = static_cast<uint32_t>(body.size());
        posted = client.post_octet_stream(track_path, body.data(), size);
    }
    // A file set aside takes along any batch the recorder appends to it meanwhile: a rename loses nothing.
    if (queue_.settle(file, posted == 1, client.status())) {
        drop_sent(file, bytes.size());
    }
}

void track_uploader::drop_sent(const listed_file& file, size_t sent) {
    std::lock_guard guard(track_file_lock());
    std::string now;
    if (read_file_bytes(file.path, track_file_cap, now) != file_read::ok) {
        return; // gone, or grown past the cap: nothing to cut safely
    }
    if (now.size() <= sent) {
        std::error_code error;
        std::filesystem::remove(file.path, error);
    } else if (!write_file_atomic(file.path, now.substr(sent))) {
        zel::log(logger::warning, L"track upload: cannot cut the sent part off " + utf8_to_wide(file.name));
    }
}

} // namespace zel::gps
