#include "foundation/sound_player.h"
#include "platform/audio_output.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace zel {
namespace {

class audio_output_test : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1); // tests never sound aloud
    }
};

TEST_F(audio_output_test, every_laid_sound_plays) {
    audio_output audio;
    for (int id = 1; id <= 5; ++id) {
        EXPECT_EQ(audio.play(sound_player::sound_file(id)), audio_output::result::played)
            << sound_player::sound_file(id) << ": " << audio.last_error();
    }
}

TEST_F(audio_output_test, a_missing_or_broken_file_plays_nothing_and_the_next_plays) {
    test::temp_folder folder;
    audio_output audio;
    EXPECT_EQ(audio.play(folder.path() / "none.wav"), audio_output::result::bad_file);
    const char broken[] = "RIFF\x10\0\0\0WAVEfmt garbage";
    EXPECT_EQ(audio.play(folder.write("broken.wav", std::string(broken, sizeof broken - 1))),
              audio_output::result::bad_file);
    EXPECT_NE(audio.last_error().find("broken.wav"), std::string::npos);
    EXPECT_EQ(audio.play(sound_player::sound_file(1)), audio_output::result::played);
}

std::size_t thread_count() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

// An open device keeps the mixer's thread waking for every buffer; once the sound has ended quiet() closes it
// (the thread ends), and the next play opens it again.
TEST_F(audio_output_test, the_device_closes_once_the_sound_has_ended_and_reopens_for_the_next) {
    audio_output audio;
    EXPECT_TRUE(audio.quiet()) << "nothing played yet";
    const std::size_t threads = thread_count();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(audio.play(sound_player::sound_file(1)), audio_output::result::played) << audio.last_error();
        EXPECT_FALSE(audio.quiet()) << "a half-second sound has only begun";
        EXPECT_GT(thread_count(), threads);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20); // a safety net
        while (!audio.quiet() && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(audio.quiet());
        EXPECT_EQ(thread_count(), threads) << "round " << round;
    }
}

TEST_F(audio_output_test, without_a_device_it_stays_silent) {
    ::setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    audio_output audio;
    EXPECT_EQ(audio.play(sound_player::sound_file(1)), audio_output::result::no_device);
    EXPECT_EQ(audio.play(sound_player::sound_file(2)), audio_output::result::no_device);
    EXPECT_FALSE(audio.last_error().empty());
}

} // namespace
} // namespace zel
