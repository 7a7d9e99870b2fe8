// The headless display: windows render into memory, time is a virtual monotonic clock that only the caller
// moves, pen and keys are scripted. Tests and trials drive a whole program through it without any display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/screen.h"
#include "platform/win_types.h"

namespace platform::headless {

// Makes the process's display headless with this screen (before the first window; later calls only change
// the screen, which resizes the windows there are). The clock starts at 1000 ms.
void start(const screen_size& screen = {});

std::uint64_t now_ms();
// Moves the virtual clock forward; due timers fire at the next dispatch.
void advance(std::uint32_t ms);

// Input to the display's window (the first window created), as a finger and keys give it.
void pen_down(int x, int y);
void pen_up(int x, int y);
void tap(int x, int y);
void key_down(UINT virtual_key);
void key_up(UINT virtual_key);
void close_window();
// The display's window loses the focus (another program comes to the front) or gains it back.
void focus(bool gained);

// Gets and dispatches messages until nothing is posted, queued, invalid or due; returns how many it
// dispatched. Stops early at WM_QUIT or after limit messages.
int run_until_idle(int limit = 100000);

// The window's pixels, 0x00RRGGBB rows top-down; empty for an unknown window.
std::vector<std::uint32_t> window_pixels(HWND window, int& width, int& height);
bool save_png(HWND window, const std::string& path);

// Whether the shell asked for the window to fill the display.
bool full_screen();
// How many times the display's window was minimised (ShowWindow with SW_MINIMIZE).
int minimised();

// Message boxes shown so far, as "caption: text".
std::vector<std::wstring> message_boxes();

} // namespace platform::headless
