// caption_value_box: the value box picture with a big bold value in its upper half and a small caption below
// (the fines of the offer notices: "РЕЙТИНГ", "РУБЛЕЙ"). Both texts start empty; a change repaints only the
// box. Takes no pen. UI thread only.
#pragma once

#include <string>

#include "form/controls/image_box.h"

namespace zel::form {

class caption_value_box : public image_box {
public:
    explicit caption_value_box(manager_2* form);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    void set_caption(const std::wstring& caption);
    void set_value(const std::wstring& value);

    const std::wstring& caption() const {
        return caption_;
    }
    const std::wstring& value() const {
        return value_;
    }

private:
    std::wstring caption_;
    std::wstring value_;
};

} // namespace zel::form
