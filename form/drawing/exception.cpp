#include "form/drawing/exception.h"

#include "foundation/text_utils.h"

namespace zel::form {

Exception::Exception(const wchar_t* message) : message_(message ? message : L""), utf8_(wide_to_utf8(message_)) {}

} // namespace zel::form
