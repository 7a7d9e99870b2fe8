// One case per journey and screen size, journey.NAME_480x800 and journey.NAME_800x480 (MORVIK_JOURNEYS: the
// journeys' folder names, comma-separated). A case fails with every problem its run found and the folder kept.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/journeys/journey_run.h"

namespace {

class journey_case : public testing::Test {
public:
    journey_case(std::string name, std::string size) : name_(std::move(name)), size_(std::move(size)) {}

    void TestBody() override {
        zel::test::journey_run run(name_, size_);
        const std::vector<std::string> problems = run.run();
        std::string all;
        for (const std::string& problem : problems) {
            all += "\n  " + problem;
        }
        EXPECT_TRUE(problems.empty()) << "the journey " << name_ << " at " << size_ << ":" << all
                                      << "\nits run's folder is kept: " << run.folder().string();
    }

private:
    const std::string name_;
    const std::string size_;
};

const bool registered = [] {
    std::istringstream names(MORVIK_JOURNEYS);
    for (std::string name; std::getline(names, name, ',');) {
        for (const char* size : {"480x800", "800x480"}) {
            testing::RegisterTest("journey", (name + "_" + size).c_str(), nullptr, nullptr, __FILE__, __LINE__,
                                  [name, size]() -> testing::Test* { return new journey_case(name, size); });
        }
    }
    return true;
}();

} // namespace
