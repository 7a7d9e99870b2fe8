#include "tests/gps/tracks/upload_test_support.h"

#include "foundation/logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zel::gps::test {

upload_server::upload_server(int status, const std::string& body)
    : peer_(std::make_unique<test_peer>("tests/controller/peers/http_server.py",
                                        std::vector<std::string>{"--record", record_.path().string(), "--status",
                                                                 std::to_string(status), "--body", body})) {}

recorded_request upload_server::request(int number, const std::string& method_and_path) {
    const std::string line = "request " + std::to_string(number) + " " + method_and_path;
    if (!peer_->wait_for_line(line)) {
        return {"(no request: " + peer_->transcript() + ")", ""};
    }
    const std::string all = file_bytes(record_.path() / (std::to_string(number) + ".request"));
    const size_t end = all.find("\r\n\r\n");
    if (end == std::string::npos) {
        return {all, ""};
    }
    return {all.substr(0, end + 2), all.substr(end + 4)};
}

size_t upload_server::requests() const {
    return peer_->lines("request ").size();
}

std::string file_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return "(missing)";
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> names_in(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace zel::gps::test
