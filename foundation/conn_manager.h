// Brings up the device's data connection before the controller connects to a server. Linux keeps its network
// up by itself, so without a connection backend establish does nothing and the caller connects its socket
// directly, as it does when the connection manager is missing.
#pragma once

#include <string>

namespace zel {

class conn_manager {
public:
    conn_manager();

    // Asks for a connection to the service's network, waiting at most 10 seconds; the outcome is not
    // reported (the socket's own connect tells).
    void establish();

    // The address whose network the connection manager is asked for (the service's web site).
    static const std::wstring& service_url();
};

} // namespace zel
