// The program's entry point: the steps of the window shell's entry, without a command line; with MORVIK_STEPS
// set, the same program follows that step file on the headless display instead.
#include <cstdlib>

#include "app/step_mode.h"
#include "form/shell/main_window.h"

int main() {
    if (const char* steps = std::getenv("MORVIK_STEPS"); steps && *steps) {
        return zel::app::run_step_mode(steps);
    }
    return zel::form::win_main(nullptr);
}
