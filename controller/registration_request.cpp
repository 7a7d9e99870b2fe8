#include "controller/registration_request.h"

#include "controller/http/http_client.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <exception>

namespace zel::controller_ {

void http_get(http_request& request) {
    request.response.clear();
    http_client client;
    if (client.open(request.host.host, request.host.port) != 1) {
        return;
    }
    client.get(request.path, "My_Agent");
    request.response = client.body();
}

std::shared_ptr<zel_api::command::login_reply> registration_reply(const std::string& response) {
    auto reply = std::make_shared<zel_api::command::login_reply>();
    reply->errors.emplace_back(L"", registration_unreachable_text);
    if (response.empty()) {
        return reply;
    }
    // The conversion to wide text stops at a NUL byte, which would hand the reader only the text before it:
    // an answer is one JSON text, and no JSON text holds a raw NUL.
    if (response.find('\0') != std::string::npos) {
        zel::log(logger::error, L"controller::thread_http_reg: the answer holds a NUL byte: " + utf8_to_wide(response));
        return reply;
    }
    try {
        reply->from_json(utf8_to_wide(response));
    } catch (const std::exception& error) {
        zel::log(logger::error, L"controller::thread_http_reg: the answer can't be read: " +
                                    utf8_to_wide(error.what()) + L": " + utf8_to_wide(response));
    }
    return reply;
}

} // namespace zel::controller_
