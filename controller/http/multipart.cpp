#include "controller/http/multipart.h"

#include "foundation/text_utils.h"

#include <charconv>

namespace zel::controller_ {

std::wstring multipart_content_type() {
    return L"Content-Type: multipart/form-data; boundary=" + utf8_to_wide(multipart_boundary) + L"\r\n";
}

void multipart_write_data(multipart_writer& writer, const std::string& name, const void* data, size_t count) {
    std::string& body = writer.body;
    body += "--";
    body += multipart_boundary;
    body += "\r\nContent-Disposition: form-data; name=\"";
    body += name;
    body += "\"\r\n\r\n";
    body.append(static_cast<const char*>(data), count);
    body += "\r\n";
}

void multipart_write_text(multipart_writer& writer, const std::string& name, const std::wstring& value) {
    const std::string text = wide_to_utf8(value);
    multipart_write_data(writer, name, text.data(), text.size());
}

void multipart_write_int64(multipart_writer& writer, const std::string& name, int64_t value) {
    const std::string text = std::to_string(value);
    multipart_write_data(writer, name, text.data(), text.size());
}

void multipart_write_float(multipart_writer& writer, const std::string& name, double value) {
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    multipart_write_data(writer, name, text, static_cast<size_t>(written.ptr - text));
}

std::string multipart_finish(multipart_writer& writer) {
    writer.body += "--";
    writer.body += multipart_boundary;
    writer.body += "--\r\n";
    return writer.body;
}

} // namespace zel::controller_
