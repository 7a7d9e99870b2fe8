// The window of the form benchmarks: a headless 480 x 800 display at 192 dpi and one window whose procedure is
// the program's own without its start-up (the benchmark builds its manager itself). Made once, on first use,
// on the benchmark's thread.
#pragma once

#include "platform/window.h"

namespace zel::form::bench {

constexpr int width = 480;
constexpr int height = 800;

HWND bench_window();

} // namespace zel::form::bench
