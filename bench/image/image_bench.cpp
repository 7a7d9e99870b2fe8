// Decoding a screen-sized RGBA PNG through CxImage against libpng's simplified API reading the same bytes
// into RGBA (goal: CxImage at no less than 0.8 of libpng's speed), and nearest-pixel halving of the result.
#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "tests/image/image_fixtures.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr uint32_t width = 480;
constexpr uint32_t height = 800;

// A skin-like picture: smooth gradients with a soft alpha edge and a little noise, so that it compresses
// as real artwork does.
const std::vector<uint8_t>& screen_png() {
    static const std::vector<uint8_t> bytes = [] {
        zel::test::png_recipe recipe;
        recipe.width = width;
        recipe.height = height;
        recipe.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
        uint32_t seed = 12345;
        return zel::test::make_png(recipe, [&](uint32_t x, uint32_t y, int c) -> uint16_t {
            seed = seed * 1103515245 + 12345;
            const uint32_t noise = (seed >> 16) & 3;
            switch (c) {
            case 0:
                return static_cast<uint16_t>((x * 255 / width + noise) & 255);
            case 1:
                return static_cast<uint16_t>((y * 255 / height + noise) & 255);
            case 2:
                return static_cast<uint16_t>(((x + y) / 5) & 255);
            default:
                return static_cast<uint16_t>(x < 20 || y < 20 ? x * 12 & 255 : 255);
            }
        });
    }();
    return bytes;
}

void cximage_decode(benchmark::State& state) {
    const auto& bytes = screen_png();
    for (auto _ : state) {
        zel::image_memory_stream stream(bytes.data(), bytes.size());
        zel::CxImage image(zel::CXIMAGE_FORMAT_PNG);
        if (!image.Decode(&stream, zel::CXIMAGE_FORMAT_PNG)) {
            state.SkipWithError(image.last_error());
            break;
        }
        benchmark::DoNotOptimize(image.block());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * width * height * 4);
    state.SetLabel("goal: bytes_per_second >= 0.8 x libpng_simplified_decode's");
}
BENCHMARK(cximage_decode)->Unit(benchmark::kMillisecond);

void libpng_simplified_decode(benchmark::State& state) {
    const auto& bytes = screen_png();
    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
            state.SkipWithError(image.message);
            break;
        }
        image.format = PNG_FORMAT_RGBA;
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
            state.SkipWithError(image.message);
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * width * height * 4);
    state.SetLabel("yardstick of cximage_decode");
}
BENCHMARK(libpng_simplified_decode)->Unit(benchmark::kMillisecond);

void nearest_pixel_halving(benchmark::State& state) {
    const auto& bytes = screen_png();
    zel::image_memory_stream stream(bytes.data(), bytes.size());
    zel::CxImage source(zel::CXIMAGE_FORMAT_PNG);
    if (!source.Decode(&stream, zel::CXIMAGE_FORMAT_PNG)) {
        state.SkipWithError(source.last_error());
        return;
    }
    for (auto _ : state) {
        zel::CxImage half(zel::CXIMAGE_FORMAT_PNG);
        source.rescale(width / 2, height / 2, 1, &half);
        benchmark::DoNotOptimize(half.block());
    }
    state.SetLabel("no goal: measured for reference");
}
BENCHMARK(nearest_pixel_halving)->Unit(benchmark::kMillisecond);

} // namespace
