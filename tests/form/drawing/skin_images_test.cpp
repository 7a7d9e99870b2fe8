// skin_images against a mini skin written as real resource libraries: scale by screen, and every kind of
// missing picture (unknown id, missing library, missing or corrupt picture) as a 0 x 0 Image with one ERROR
// line however often it is asked for.
#include <gtest/gtest.h>

#include <sstream>

#include "form/drawing/skin_images.h"
#include "tests/form/form_fixture.h"
#include "tests/support/log_capture.h"

namespace zel::form {
namespace {

int count_lines(const std::string& log, const std::string& part, const std::string& level = "[ERROR]") {
    std::istringstream in(log);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line.find(level) != std::string::npos && line.find(part) != std::string::npos;
    }
    return count;
}

class skin_images_test : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.write_library("skin_black_button", {{1001, test::solid_png(100, 40, 0xFFFF0000)},
                                                  {1002, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}}});
        skin_.write_library("skin_black_toolbar", {{8001, test::solid_png(10, 10, 0xFF00FF00)}});
        skin_.write_library("skin_black_order", {{7001, test::solid_png(8, 4, 0xFF0000FF)}});
        skin_.write_library("skin_black_help", {{2004, test::solid_png(6, 6, 0x80FFFFFF)}});
        // skin_black_main.dll is missing.
    }
    test::mini_skin skin_;
};

TEST_F(skin_images_test, pictures_are_halved_below_180_dpi_except_on_800_by_480) {
    struct screen_case {
        int width, height, dpi;
        int expected_width, expected_height;
    };
    const screen_case cases[] = {
        {240, 320, 96, 50, 20},   {800, 480, 96, 100, 40}, {480, 800, 192, 100, 40}, {640, 480, 179, 50, 20},
        {640, 480, 180, 100, 40}, {480, 800, 96, 50, 20},  {480, 800, 400, 100, 40},
    };
    for (const screen_case& c : cases) {
        skin_images skin(c.width, c.height, c.dpi);
        auto image = skin.get_image_by_id(1001);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), c.expected_width) << c.width << "x" << c.height << "@" << c.dpi;
        EXPECT_EQ(image->height(), c.expected_height) << c.width << "x" << c.height << "@" << c.dpi;
    }
}

TEST_F(skin_images_test, every_kind_of_missing_picture_is_empty_and_reported_once) {
    test::log_capture log;
    skin_images skin(480, 800, 192);
    const std::string built = log.text();
    EXPECT_EQ(count_lines(built, "skin_black_main.dll"), 1); // the missing library, once
    EXPECT_EQ(count_lines(built, "no picture 1003 in"), 1);  // a picture missing from a present library
    EXPECT_EQ(count_lines(built, "no picture 5001"), 0);     // covered by the library's line
    EXPECT_EQ(count_lines(built, "1001"), 0);
    EXPECT_EQ(count_lines(built, "1002"), 0); // found; it fails only when decoded

    struct miss_case {
        int id;
        const char* reported; // the ERROR line at the first request, or empty
    };
    const miss_case misses[] = {
        {3000, "no picture has the id 3000"},
        {1002, "picture 1002 does not decode"},
        {5001, ""},
        {5026, ""},
        {1003, ""},
        {1000, "no picture has the id 1000"},
        {2213, "no picture has the id 2213"},
    };
    for (const miss_case& m : misses) {
        const std::string before = log.text();
        for (int request = 0; request < 3; ++request) {
            auto image = skin.get_image_by_id(m.id);
            ASSERT_TRUE(image) << m.id;
            EXPECT_TRUE(image->empty()) << m.id;
            EXPECT_EQ(image->width(), 0) << m.id;
            EXPECT_EQ(image->height(), 0) << m.id;
        }
        const std::string lines = log.text().substr(before.size());
        EXPECT_EQ(count_lines(lines, "", "[ERROR]"), *m.reported ? 1 : 0) << m.id << "\n" << lines;
        if (*m.reported) {
            EXPECT_EQ(count_lines(lines, m.reported), 1) << m.id << "\n" << lines;
        }
        EXPECT_EQ(count_lines(lines, "skin_images::get_image_by_id: " + std::to_string(m.id), "[INFO]"), 3) << m.id;
    }
}

TEST_F(skin_images_test, each_request_decodes_an_independent_picture) {
    skin_images skin(480, 800, 192);
    auto first = skin.get_image_by_id(2004);
    auto second = skin.get_image_by_id(2004);
    ASSERT_NE(first.get(), second.get());
    first->resize(2, 2);
    EXPECT_EQ(second->width(), 6);
    EXPECT_EQ(skin.get_image_by_id(8001)->width(), 10);
    EXPECT_EQ(skin.get_image_by_id(7001)->height(), 4);
}

TEST(skin_images_without_skin, a_folder_without_libraries_gives_empty_pictures) {
    test::mini_skin empty_folder;
    test::log_capture log;
    skin_images skin(240, 320, 96);
    EXPECT_EQ(count_lines(log.text(), "no skin library"), 5);
    EXPECT_EQ(count_lines(log.text(), "[ERROR]"), 5);
    EXPECT_TRUE(skin.get_image_by_id(1001)->empty());
    EXPECT_EQ(skin.scale(), 0.5f);
}

} // namespace
} // namespace zel::form
