#include "foundation/sound_player.h"
#include "platform/audio_output.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST_F(audio_output_test, without_a_device_it_stays_silent) {
    ::setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    audio_output audio;
    EXPECT_EQ(audio.play(sound_player::sound_file(1)), audio_output::result::no_device);
    EXPECT_EQ(audio.play(sound_player::sound_file(2)), audio_output::result::no_device);
    EXPECT_FALSE(audio.last_error().empty());
}

} // namespace
} // namespace zel
