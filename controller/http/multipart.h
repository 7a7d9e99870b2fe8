// The multipart/form-data body of the uploads, written by hand so its bytes are exactly these:
//
//   --<boundary>\r\n
//   Content-Disposition: form-data; name="<name>"\r\n
//   \r\n
//   <value>\r\n                  (one such group of lines per part, in call order)
//   --<boundary>--\r\n
//
// No part carries a file name or a content type of its own. Names are written as they stand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zel::controller_ {

inline constexpr char multipart_boundary[] = "ACAD11A8-094A-477f-A141-66562458529A";

struct multipart_writer {
    std::string body;
};

// "Content-Type: multipart/form-data; boundary=...\r\n", the header line that goes with the body.
std::wstring multipart_content_type();

// The value as UTF-8.
void multipart_write_text(multipart_writer& writer, const std::string& name, const std::wstring& value);
// The decimal text of the value.
void multipart_write_int64(multipart_writer& writer, const std::string& name, int64_t value);
// The value with six decimals ("1.500000"), whatever the locale.
void multipart_write_float(multipart_writer& writer, const std::string& name, double value);
// The bytes as they stand.
void multipart_write_data(multipart_writer& writer, const std::string& name, const void* data, size_t count);
// Writes the closing line and returns the whole body.
std::string multipart_finish(multipart_writer& writer);

} // namespace zel::controller_
