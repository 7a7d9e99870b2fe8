// A fix source that reports what the test last set, and starts nothing.
#pragma once

#include "gps/fix_source.h"

#include <mutex>

namespace zel::gps {

class manual_fix_source : public fix_source {
public:
    void start() override {}
    gps_fix fix() override {
        std::lock_guard guard(lock_);
        return fix_;
    }
    void set(const gps_fix& fix) {
        std::lock_guard guard(lock_);
        fix_ = fix;
    }

private:
    std::mutex lock_;
    gps_fix fix_;
};

} // namespace zel::gps
