// The HTTP client of the uploads and the device registration, over libcurl. One object serves one exchange, in
// this order: open, one post or get, then optionally content_length and read (or body), then close (the
// destructor closes too).
//
// A post or get succeeds only on a 2xx status; status tells a refusal (4xx, 5xx) from a transport failure (0). The
// whole answer body is read during the post, up to body_cap bytes; nothing is sized from the content length.
// Every request has connect and total time-outs, so a silent server cannot hold a thread for ever.
#pragma once

#include "controller/http/multipart.h"

#include <cstdint>
#include <string>

struct curl_slist;

namespace zel::controller_ {

class http_client {
public:
    static constexpr size_t body_cap = 1u << 20;
    static constexpr uint32_t unknown_length = 0xFFFFFFFF;

    http_client() = default;
    ~http_client();
    http_client(const http_client&) = delete;
    http_client& operator=(const http_client&) = delete;

    // Prepares requests to host (a name, an IPv4 or an IPv6 address) and port. 1 when ready, 0 otherwise.
    int open(const std::wstring& host, int32_t port);
    // POSTs the finished multipart body of writer to path. 1 on a 2xx answer.
    int post_multipart(const std::wstring& path, multipart_writer& writer);
    // POSTs size raw bytes to path, with no content type of its own. 1 on a 2xx answer.
    int post_octet_stream(const std::wstring& path, const void* data, uint32_t& size);
    // GETs path, naming itself with user_agent. 1 on a 2xx answer; the body of any answer is kept.
    int get(const std::wstring& path, const std::string& user_agent);
    // The answer's Content-Length, or unknown_length when it sent none.
    uint32_t content_length() const;
    // Copies up to size bytes of the answer body not yet read into buffer and sets size to the count copied
    // (0 at the end). False before any answer.
    bool read(void* buffer, uint32_t& size);
    // Frees every handle; open may be called again.
    void close();

    // HTTP status of the last post, 0 when no answer came.
    long status() const {
        return status_;
    }
    // The whole answer body (at most body_cap bytes).
    const std::string& body() const {
        return body_;
    }

private:
    int post(const std::wstring& path, const char* data, size_t size, curl_slist* headers);
    // One exchange; data is null for a GET.
    int perform(const std::wstring& path, const char* data, size_t size, curl_slist* headers, const char* agent);
    static size_t on_body(char* data, size_t size, size_t count, void* self);

    void* curl_ = nullptr; // CURL*
    std::string base_url_;
    long status_ = 0;
    std::string body_;
    size_t read_offset_ = 0;
    bool answered_ = false;
    bool truncated_ = false;
    int64_t content_length_ = -1;
};

} // namespace zel::controller_
