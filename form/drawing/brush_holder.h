// brush_holder: owns one solid brush of a colour triple, made for one fill and deleted with the holder.
#pragma once

#include "form/drawing/geometry.h"

namespace zel::form {

class brush_holder {
public:
    explicit brush_holder(const rgb& colour);
    ~brush_holder();
    brush_holder(const brush_holder&) = delete;
    brush_holder& operator=(const brush_holder&) = delete;

    HBRUSH brush() const {
        return brush_;
    }

private:
    HBRUSH brush_ = nullptr;
};

} // namespace zel::form
