// Full-screen transfers and fills against memcpy and memset of the same bytes, and one line of Cyrillic text.
// Goals: BitBlt within 1.5x of memcpy; DrawTextW of a 40-character line under 20 us once glyphs are cached.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/text.h"

namespace {

constexpr int width = 480;
constexpr int height = 800;
constexpr std::size_t bytes = static_cast<std::size_t>(width) * height * 4;

struct surface_pair {
    surface_pair() {
        src = CreateCompatibleDC(nullptr);
        dst = CreateCompatibleDC(nullptr);
        src_bitmap = CreateCompatibleBitmap(src, width, height);
        dst_bitmap = CreateCompatibleBitmap(dst, width, height);
        old_src = SelectObject(src, src_bitmap);
        old_dst = SelectObject(dst, dst_bitmap);
    }
    ~surface_pair() {
        SelectObject(src, old_src);
        SelectObject(dst, old_dst);
        DeleteObject(src_bitmap);
        DeleteObject(dst_bitmap);
        DeleteDC(src);
        DeleteDC(dst);
    }
    HDC src, dst;
    HBITMAP src_bitmap, dst_bitmap;
    HGDIOBJ old_src, old_dst;
};

void memcpy_full_screen(benchmark::State& state) {
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel("yardstick of bitblt_full_screen");
}
BENCHMARK(memcpy_full_screen);

void bitblt_full_screen(benchmark::State& state) {
    surface_pair s;
    for (auto _ : state) {
        BitBlt(s.dst, 0, 0, width, height, s.src, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel("goal: time within 1.5 x memcpy_full_screen's");
}
BENCHMARK(bitblt_full_screen);

void memset_full_screen(benchmark::State& state) {
    std::vector<std::uint8_t> a(bytes);
    for (auto _ : state) {
        std::memset(a.data(), 0x1F, bytes);
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel("yardstick of the fills");
}
BENCHMARK(memset_full_screen);

void fillrect_full_screen(benchmark::State& state) {
    surface_pair s;
    HBRUSH brush = CreateSolidBrush(RGB(31, 37, 45));
    const RECT all{0, 0, width, height};
    for (auto _ : state) {
        FillRect(s.dst, &all, brush);
        benchmark::ClobberMemory();
    }
    DeleteObject(brush);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel("no goal: compare with memset_full_screen");
}
BENCHMARK(fillrect_full_screen);

void gradientfill_full_screen(benchmark::State& state) {
    surface_pair s;
    TRIVERTEX v[2] = {{0, 0, 67 << 8, 70 << 8, 75 << 8, 0}, {width, height, 37 << 8, 38 << 8, 42 << 8, 0}};
    GRADIENT_RECT mesh{0, 1};
    const ULONG mode = static_cast<ULONG>(state.range(0));
    for (auto _ : state) {
        GradientFill(s.dst, v, 2, &mesh, 1, mode);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel(std::string(mode == GRADIENT_FILL_RECT_H ? "horizontal" : "vertical") +
                   ", no goal: compare with memset_full_screen");
}
BENCHMARK(gradientfill_full_screen)->Arg(GRADIENT_FILL_RECT_H)->Arg(GRADIENT_FILL_RECT_V);

void drawtext_cyrillic_line(benchmark::State& state) {
    surface_pair s;
    LOGFONTW lf{};
    lf.lfHeight = 28;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = RUSSIAN_CHARSET;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(s.dst, font);
    SetBkMode(s.dst, TRANSPARENT);
    SetTextColor(s.dst, RGB(255, 255, 255));
    const std::wstring text = L"Подтвердить предварительный заказ: Ленин"; // 40 characters
    RECT r{0, 0, width, 60};
    DrawTextW(s.dst, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS); // caches the glyphs
    for (auto _ : state) {
        DrawTextW(s.dst, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(text.size()) + " characters, goal: under 20 us");
    SelectObject(s.dst, old);
    DeleteObject(font);
}
BENCHMARK(drawtext_cyrillic_line);

} // namespace
