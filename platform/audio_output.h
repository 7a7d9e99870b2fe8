// Plays wave files on the sound device (SDL2_mixer). One sound at a time: a new sound stops the one playing
// and starts at once; play returns without waiting for the end. The device is opened by a play and closed by
// quiet() once the sound has ended, since an open device keeps the mixer's thread waking for every buffer of
// silence. When there is no device (a machine without sound, CI without SDL_AUDIODRIVER=dummy) every play
// reports no_device and nothing sounds.
//
//   state    event                       next     effect
//   closed   play, the device opens      open     the sound starts
//   closed   play, no device             failed   no_device (and every later play)
//   open     play                        open     the sound replaces the one playing
//   open     quiet, the sound has ended  closed   the device and the mixer's thread end
//
// One audio_output at a time per process (the mixer is process-wide). Its operations are thread-safe (one
// lock); the mixer's own thread plays.
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
    // True when nothing sounds; closes the device once the last sound has ended.
    bool quiet();
    // The reason of the last failure, for the log.
    std::string last_error() const;

private:
    bool open_device();
    void close_device();

    mutable std::mutex lock_;
    enum class state { closed, open, failed } state_ = state::closed;
    Mix_Chunk* playing_ = nullptr;
    std::string last_error_;
};
