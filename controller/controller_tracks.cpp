#include "controller/controller_tracks.h"

namespace zel::controller_ {

controller_tracks::controller_tracks(const std::wstring&) {}

controller_tracks::~controller_tracks() = default;

void controller_tracks::add(const gps::location&) {}

} // namespace zel::controller_
