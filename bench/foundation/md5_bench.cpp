// MD5 throughput of ours and of OpenSSL's on the same buffers, side by side. Goal: ours at least 0.6 of
// OpenSSL's bytes per second (compare the bytes_per_second of each pair in a Release build).
#include "foundation/md5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

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

void md5_ours(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    const uint8_t* data = test_bytes();
    uint8_t digest[16];
    for (auto _ : state) {
        zel::md5 context;
        context.update(data, size);
        context.final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void md5_openssl(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    const uint8_t* data = test_bytes();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const EVP_MD* md5 = EVP_md5();
    for (auto _ : state) {
        EVP_Digest(data, size, digest, &length, md5, nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// Pairs on the same size, one after the other.
BENCHMARK(md5_ours)->Arg(1 << 10);
BENCHMARK(md5_openssl)->Arg(1 << 10);
BENCHMARK(md5_ours)->Arg(1 << 20);
BENCHMARK(md5_openssl)->Arg(1 << 20);

} // namespace
