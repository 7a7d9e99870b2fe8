// The program's entry point: the steps of the window shell's entry, without a command line.
#include "form/main_window.h"

int main() {
    return zel::form::win_main(nullptr);
}
