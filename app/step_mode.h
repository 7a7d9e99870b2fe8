// Step mode (MORVIK_STEPS names a step file): the whole program on the headless display of MORVIK_SCREEN's size
// follows the file's steps instead of a finger, so a test can drive it as its own process.
//
// Before the window is made it installs, for the rest of the process (never uninstalled or destroyed, as the
// program's own services are not): the pinned clock (the file's leading clock steps, else the default moment),
// a GPS service without a refresh thread on the program's own gps_device with short pauses (the step runner
// refreshes it once a virtual second), and the text recorder the steps look at. Then the program starts as
// win_main starts it, and the step runner takes the UI thread. A step file that cannot be read or has a bad
// line ends the process with 3 before the window exists. Standard input and output carry drive's route and
// nothing else (programs the terminal starts get /dev/null and the log), and SIGPIPE is ignored, so a closed
// standard output fails a drive step instead of killing the program.
#pragma once

#include <string>

#include "gps/gps_timing.h"

namespace zel::app {

// Returns only when process_control's end returns (or 0 when the window could not be made).
int run_step_mode(const std::string& step_file_path);

// The GPS pauses of step mode: a receiver on a pseudo-terminal is found well within a second, and each new
// reading reaches the device within a few milliseconds.
gps::gps_timing step_mode_gps_timing();

} // namespace zel::app
