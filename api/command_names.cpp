#include "api/command_names.h"

namespace zel_api {

std::wstring program_version() {
    return L"" MORVIK_VERSION_TEXT;
}

} // namespace zel_api
