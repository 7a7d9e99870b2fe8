// A small memory surface for pixel-exact tests: a memory DC with a bitmap of its own, read back as rows of
// characters so that a test states the expected picture directly.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/support/golden.h"

namespace test {

class canvas {
public:
    canvas(int width, int height, COLORREF background = RGB(0, 0, 0));
    ~canvas();
    canvas(const canvas&) = delete;
    canvas& operator=(const canvas&) = delete;

    HDC dc() const {
        return dc_;
    }
    HBITMAP bitmap() const {
        return bitmap_;
    }
    // The pixel whatever the clip.
    COLORREF at(int x, int y) const;
    // One string per row; each pixel becomes its colour's character in the legend, '?' for any other colour.
    std::vector<std::string> rows(const std::map<COLORREF, char>& legend) const;

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

using zel::test::read_png;

// Compares a window or bitmap picture with the golden PNG beside the platform tests
// (tests/platform/golden/NAME.png); see zel::test::compare_with_golden.
inline std::string compare_with_golden(const std::string& name, int width, int height,
                                       const std::vector<std::uint32_t>& pixels) {
    return zel::test::compare_with_golden("tests/platform/golden", name, width, height, pixels);
}

} // namespace test
