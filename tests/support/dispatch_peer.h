// The test dispatch server (tools/dispatch_server/) as the tests of the controller and of the screens start it:
// one process per test on a free loopback port, playing a script of the source tree.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/controller/test_peer.h"

namespace zel::test {

// A test dispatch server playing the script (a path relative to the source tree), with --set values and, when
// keepalive_ms is not 0, a keep-alive of its own every keepalive_ms milliseconds while it waits (--keepalive-ms).
std::unique_ptr<test_peer> dispatch_server(const std::string& script,
                                           const std::map<std::string, std::string>& values = {}, int keepalive_ms = 0);

// The payloads of the commands the server received, in order (its "recv command id=N flag=F len=L PAYLOAD"
// lines).
std::vector<std::string> received_commands(const test_peer& server);

// The script ran to its end without a failure.
void expect_script_done(test_peer& server);

} // namespace zel::test
