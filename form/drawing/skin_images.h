// skin_images: every picture of the skin, by id. Construction (on the manager's load thread) reads the PNG
// bytes of all registered ids from the five skin libraries beside the program; afterwards the bytes never
// change, and any thread may ask for a picture: each request decodes and scales the bytes anew into an Image
// of its own, so callers keep it as long as they show it.
//
// A missing library, picture or id, or a picture that does not decode, gives a 0 x 0 Image, never a null
// pointer, and one ERROR line: a missing library or picture when the table is built, an unknown id or a
// corrupt picture at its first request. The set of what was reported is the only state that changes after
// construction; a lock guards it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "form/drawing/image.h"

namespace zel::form {

class skin_images {
public:
    // The screen's size and DPI choose the pictures' scale.
    skin_images(int width, int height, int dpi);
    skin_images(const skin_images&) = delete;
    skin_images& operator=(const skin_images&) = delete;

    std::shared_ptr<Image> get_image_by_id(int id) const;
    // The picture of a table that may not exist yet (the controls of the logo's time): 0 x 0 without one.
    static std::shared_ptr<Image> image_of(const skin_images* table, int id) {
        return table ? table->get_image_by_id(id) : std::make_shared<Image>();
    }

    // 1.0 on an 800 x 480 screen or from 180 DPI up, else 0.5.
    float scale() const;

private:
    // Logs once per key; false when it was logged before.
    bool first_report(int id) const;

    std::map<int, std::wstring> paths_;
    std::map<int, std::vector<std::uint8_t>> bytes_;
    int dpi_;
    int width_;
    int height_;

    mutable std::mutex reported_lock_;
    mutable std::set<int> reported_;
};

} // namespace zel::form
