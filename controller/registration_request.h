// The device registration's HTTP exchange: one GET of a path that the registration screens build, to the
// device-registration server, naming itself "My_Agent"; the answer is a login_reply.
#pragma once

#include "api/command/received/login_reply.h"
#include "controller/server_address.h"

#include <memory>
#include <string>

namespace zel::controller_ {

struct http_request {
    std::string response; // the answer's body as received (UTF-8), empty when no answer came
    std::wstring path;
    registration_host host;
};

// The text shown when the registration server gives no readable answer.
constexpr wchar_t registration_unreachable_text[] = L"Не удается подключиться к серверу регистрации устройств.";

// Fills the request's response with the body of whatever answer came (any status); empty when the server
// can't be reached or stays silent past the client's time-outs.
void http_get(http_request& request);

// The registration result of a response: its "errors" replace the default item (empty id, the unreachable
// text); an empty, unreadable or ill-typed response leaves the default item alone.
std::shared_ptr<zel_api::command::login_reply> registration_reply(const std::string& response);

} // namespace zel::controller_
