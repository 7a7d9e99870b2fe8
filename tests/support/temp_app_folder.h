// A fresh temporary folder that is the program folder (app_folder) for the test's lifetime.
#pragma once

#include "foundation/app_paths.h"
#include "tests/support/temp_folder.h"

namespace zel::test {

class temp_app_folder : public temp_folder {
public:
    temp_app_folder() {
        set_app_folder(path().wstring());
    }
    ~temp_app_folder() {
        set_app_folder(L"");
    }
};

} // namespace zel::test
