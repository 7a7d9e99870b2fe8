// The file "\cache\servers": the dispatch servers of the last login-server exchange that named any, kept so
// that a start without a reachable login server still knows them. Its content is the to_json text of every
// "obj-device-server" record in list order, back to back, as UTF-16LE without a signature or a terminating 0.
//
// The file is replaced through a temporary file, flushed and renamed, so a power cut leaves the old list or
// the new one, never a truncated one.
#pragma once

#include "api/command/received/obj_device_server.h"

#include <memory>
#include <string>
#include <vector>

namespace zel::controller_ {

class server_list_file {
public:
    // Files larger than this are not read (a list of servers is a few kilobytes).
    static constexpr size_t max_bytes = 4u << 20;

    // Writes the records (absent ones skipped), creating "\cache" when it is missing. False, with a line in
    // the log, when the file can't be written; the old file then stays.
    static bool save(const std::vector<std::shared_ptr<const zel_api::command::obj_device_server>>& servers);
    // The file's text; empty when it is missing, unreadable or too large. An odd last byte is ignored.
    static std::wstring load();

    // The bytes of a text as the file holds them.
    static std::string encode(const std::wstring& text);
    static std::wstring decode(const std::string& bytes);
};

} // namespace zel::controller_
