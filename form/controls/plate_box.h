// plate_box: a car's registration number drawn as a number plate. A text with its region in brackets ("[" at
// index 6, "]" last, 10 or 11 characters) is cut into its series, number, series and region on the ordinary
// plate (skin 2006) or, when it begins with two letters, on the letters-first plate (2007); any other text is
// written whole on the plain plate (2008). Takes no pen. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class plate_box : public control {
public:
    plate_box(manager_2* form, const rect& r);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    // Draws a text as a plate of the box's size with its corner at (x, y), whatever the box holds: the rows of
    // a list draw their plates through one box.
    void draw(Graphics& g, int x, int y, const std::wstring& text);

    // Stores the text and repaints.
    void set_text(const std::wstring& text);
    const std::wstring& text() const {
        return text_;
    }

    enum plate_kind { ordinary, letters_first, plain };
    // How a text is drawn: its plate and, for the first two, its four pieces (the last one the region without
    // its brackets).
    struct layout {
        plate_kind kind = plain;
        std::wstring pieces[4];
    };
    static layout layout_for(const std::wstring& text);

private:
    std::shared_ptr<Image> plates_[3];
    std::wstring text_;
};

} // namespace zel::form
