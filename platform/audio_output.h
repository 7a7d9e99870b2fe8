// Plays wave files on the sound device (SDL2_mixer). One sound at a time: a new sound stops the one playing
// and starts at once; play returns without waiting for the end. The device is opened on the first play; when
// there is no device (a machine without sound, CI without SDL_AUDIODRIVER=dummy) every play reports
// no_device and nothing sounds.
//
// One audio_output at a time per process (the mixer is process-wide). Its operations are thread-safe.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

struct Mix_Chunk;

class audio_output {
public:
    enum class result { played, no_device, bad_file };

    audio_output() = default;
    ~audio_output();
    audio_output(const audio_output&) = delete;
    audio_output& operator=(const audio_output&) = delete;

    result play(const std::filesystem::path& wave_file);
    // The reason of the last failure, for the log.
    std::string last_error() const;

private:
    bool open_device();

    mutable std::mutex lock_;
    enum class state { closed, open, failed } state_ = state::closed;
    Mix_Chunk* playing_ = nullptr;
    std::string last_error_;
};
