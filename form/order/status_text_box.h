// status_text_box: the value box picture with the driver's status, always "СТАТУС" over "НА ОБЕДЕ" in its
// lower half and the status picture (skin 2205) standing on its middle line. Nothing to set; takes no pen. UI
// thread only.
#pragma once

#include <memory>

#include "form/controls/image_box.h"

namespace zel::form {

class status_text_box : public image_box {
public:
    explicit status_text_box(manager_2* form);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

private:
    std::shared_ptr<Image> status_image_;
};

} // namespace zel::form
