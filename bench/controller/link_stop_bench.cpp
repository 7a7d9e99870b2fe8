// How long a stop of the dispatch link takes while a connect hangs on it (a server whose accept queue is
// full): the goal is well under a second, whatever the connect's own wait.
#include "controller/packet_socket.h"

#include <benchmark/benchmark.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

// A loopback listener that accepts nothing, its queue taken by a connection of its own: connects hang.
struct full_listener {
    int listening = -1;
    int filler = -1;
    int port = 0;

    full_listener() {
        listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listening, 0);
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~full_listener() {
        ::close(filler);
        ::close(listening);
    }
};

void stop_during_connect(benchmark::State& state) {
    full_listener server;
    const std::wstring port = std::to_wstring(server.port);
    for (auto _ : state) {
        state.PauseTiming();
        zel::controller_::packet_socket link;
        auto connecting = std::async(std::launch::async, [&] { return link.connect(L"127.0.0.1", port, 10); });
        while (!link.state().connecting) {
            std::this_thread::yield();
        }
        state.ResumeTiming();
        link.stop();
        benchmark::DoNotOptimize(connecting.get());
    }
    state.SetLabel("goal: well under 1000 ms (the connect's own wait is 10 s)");
}
BENCHMARK(stop_during_connect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace
