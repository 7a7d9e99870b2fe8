// MD5 throughput of ours and of OpenSSL's on the same buffers, side by side. Goal: ours at least 0.6 of
// OpenSSL's bytes per second. OpenSSL's digest is fetched once and its context reused, as a caller hashing
// many buffers would, so the yardstick is the hashing and not the setting up of a context on every call.
// Each of our cases prints its share of OpenSSL's speed measured in the same case (of_openssl).
#include "foundation/md5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

// 1 MiB of fixed pseudo-random bytes; every size reads a prefix of it.
const uint8_t* test_bytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out(1 << 20);
        uint32_t x = 12345;
        for (auto& b : out) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 24);
        }
        return out;
    }();
    return bytes.data();
}

// OpenSSL's MD5 through one context for its whole life.
class openssl_md5 {
public:
    openssl_md5() : md_(EVP_MD_fetch(nullptr, "MD5", nullptr)), context_(EVP_MD_CTX_new()) {}
    ~openssl_md5() {
        EVP_MD_CTX_free(context_);
        EVP_MD_free(md_);
    }
    openssl_md5(const openssl_md5&) = delete;
    openssl_md5& operator=(const openssl_md5&) = delete;

    bool ready() const {
        return md_ != nullptr && context_ != nullptr;
    }
    void digest(const uint8_t* data, size_t size, unsigned char* out) {
        unsigned int length = 0;
        EVP_DigestInit_ex2(context_, md_, nullptr);
        EVP_DigestUpdate(context_, data, size);
        EVP_DigestFinal_ex(context_, out, &length);
    }

private:
    EVP_MD* md_;
    EVP_MD_CTX* context_;
};

void ours(const uint8_t* data, size_t size, uint8_t* digest) {
    zel::md5 context;
    context.update(data, size);
    context.final(digest);
}

// Seconds per digest of f over 50 ms.
template <class F> double seconds_per_digest(F&& f) {
    using steady = std::chrono::steady_clock;
    const auto start = steady::now();
    int64_t n = 0;
    double seconds = 0.0;
    do {
        for (int i = 0; i < 16; ++i) {
            f();
        }
        n += 16;
        seconds = std::chrono::duration<double>(steady::now() - start).count();
    } while (seconds < 0.05);
    return seconds / static_cast<double>(n);
}

void md5_ours(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    const uint8_t* data = test_bytes();
    uint8_t digest[16];
    for (auto _ : state) {
        ours(data, size, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));

    // Both again, in turn within this case, so that the ratio does not depend on what ran between the cases.
    openssl_md5 openssl;
    if (!openssl.ready()) {
        state.SkipWithError("OpenSSL has no MD5");
        return;
    }
    unsigned char yardstick[EVP_MAX_MD_SIZE];
    double ours_s = 1.0;
    double openssl_s = 1.0;
    // The best of five rounds of each, taken in turn: a busy machine slows single rounds, not the best one.
    for (int round = 0; round < 5; ++round) {
        ours_s = std::min(ours_s, seconds_per_digest([&] {
                              ours(data, size, digest);
                              benchmark::DoNotOptimize(digest);
                          }));
        openssl_s = std::min(openssl_s, seconds_per_digest([&] {
                                 openssl.digest(data, size, yardstick);
                                 benchmark::DoNotOptimize(yardstick);
                             }));
    }
    state.counters["of_openssl"] = openssl_s / ours_s;
    state.SetLabel("goal: of_openssl >= 0.6");
}

void md5_openssl(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    const uint8_t* data = test_bytes();
    openssl_md5 openssl;
    if (!openssl.ready()) {
        state.SkipWithError("OpenSSL has no MD5");
        return;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    for (auto _ : state) {
        openssl.digest(data, size, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetLabel("yardstick: OpenSSL, one context reused");
}

// Pairs on the same size, one after the other.
BENCHMARK(md5_ours)->Arg(1 << 10);
BENCHMARK(md5_openssl)->Arg(1 << 10);
BENCHMARK(md5_ours)->Arg(1 << 20);
BENCHMARK(md5_openssl)->Arg(1 << 20);

} // namespace
