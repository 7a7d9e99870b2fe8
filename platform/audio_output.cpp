#include "platform/audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

audio_output::~audio_output() {
    close_device();
}

void audio_output::close_device() {
    if (state_ == state::open) {
        Mix_HaltChannel(-1);
        if (playing_) {
            Mix_FreeChunk(playing_);
            playing_ = nullptr;
        }
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        state_ = state::closed;
    }
}

bool audio_output::quiet() {
    std::lock_guard guard(lock_);
    if (state_ == state::open && Mix_Playing(-1) == 0) {
        close_device();
    }
    return state_ != state::open;
}

bool audio_output::open_device() {
    if (state_ == state::closed) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            last_error_ = std::string("no audio: ") + SDL_GetError();
            state_ = state::failed;
        } else if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            last_error_ = std::string("no audio device: ") + Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            state_ = state::failed;
        } else {
            Mix_AllocateChannels(1);
            state_ = state::open;
        }
    }
    return state_ == state::open;
}

audio_output::result audio_output::play(const std::filesystem::path& wave_file) {
    std::lock_guard guard(lock_);
    if (!open_device()) {
        return result::no_device;
    }
    Mix_Chunk* chunk = Mix_LoadWAV(wave_file.c_str());
    if (!chunk) {
        last_error_ = wave_file.string() + ": " + Mix_GetError();
        return result::bad_file;
    }
    // Halting first lets the old chunk be freed safely: the mixer no longer reads it.
    Mix_HaltChannel(-1);
    if (playing_) {
        Mix_FreeChunk(playing_);
    }
    playing_ = chunk;
    if (Mix_PlayChannel(0, chunk, 0) < 0) {
        last_error_ = wave_file.string() + ": " + Mix_GetError();
        return result::bad_file;
    }
    return result::played;
}

std::string audio_output::last_error() const {
    std::lock_guard guard(lock_);
    return last_error_;
}
