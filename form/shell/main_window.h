// The program's one window ("PDACLIENT", titled "Morvik") and its message loop. The window procedure logs
// nearly every message and hands the work to the one panel manager, made at WM_CREATE and never destroyed.
// Every handled message runs inside a catch-all that shows "Error in NAME" / "NAME" and goes on; an exception
// in WM_CREATE's start-up fails the window's creation, and the program then ends with 0.
//
// UI thread only (the loop, the procedure, everything they call). SIGINT and SIGTERM are blocked from
// init_instance on, in every thread made afterwards, and taken by one waiting thread that posts WM_CLOSE; at
// WM_CLOSE the track is flushed and the process ends at once with 0 (no log line, nothing else flushed).
#pragma once

#include "platform/window.h"

namespace zel::form {

class manager_2;

// The steps of the program's entry: start_program (false ends the program with 0), the message loop; returns
// the last message's wParam.
int win_main(HINSTANCE instance);
// The entry's first steps, which step mode shares: the logger (INFO lines on), then init_instance.
bool start_program(HINSTANCE instance);
// 1 when the window exists and is shown; 0 when a copy already runs (brought to the front) or the class
// cannot be registered. A failed window creation ends the process with 0: threads may already run.
int init_instance(HINSTANCE instance);
ATOM register_main_window_class(HINSTANCE instance);
LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Sets the two named events that tell the backlight and the power manager the driver is active.
void signal_user_activity();

// Ends the program as the window's closing does: the track is flushed, then the process ends with 0 through
// the installed process_control (a test's recorder returns, so callers return after it).
void end_program();

// The manager made at WM_CREATE (null before).
manager_2* main_manager();
// Routes the procedure to a manager of the caller's (tests of the shell build theirs without WM_CREATE).
void set_main_manager(manager_2* manager);

} // namespace zel::form
