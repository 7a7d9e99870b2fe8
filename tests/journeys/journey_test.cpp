// The runner of one journey at one size, as CTest starts it: journey_tests NAME SIZE (journey_run.h tells the
// journey's folder). It fails with every problem found and the folder it kept.
#include <gtest/gtest.h>

#include <string>

#include "tests/journeys/journey_run.h"

namespace {

std::string journey_name;
std::string screen_size;

TEST(journey, runs_to_its_end_as_it_expects) {
    ASSERT_FALSE(journey_name.empty()) << "usage: journey_tests NAME 480x800|800x480";
    zel::test::journey_run run(journey_name, screen_size);
    const std::vector<std::string> problems = run.run();
    std::string all;
    for (const std::string& problem : problems) {
        all += "\n  " + problem;
    }
    EXPECT_TRUE(problems.empty()) << "the journey " << journey_name << " at " << screen_size << ":" << all
                                  << "\nits run's folder is kept: " << run.folder().string();
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc == 3) {
        journey_name = argv[1];
        screen_size = argv[2];
    }
    return RUN_ALL_TESTS();
}
