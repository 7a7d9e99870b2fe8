#include "controller/controller_tracks.h"

#include "foundation/app_paths.h"
#include "gps/api_endpoint.h"

namespace zel::controller_ {
namespace {

constexpr uint32_t track_points = 100;
constexpr uint32_t track_interval = 30;

gps::api_endpoint track_server() {
    return gps::api_endpoint::local(gps::api_endpoint::track_port);
}

} // namespace

controller_tracks::controller_tracks(const std::wstring& serial)
    : recorder_(track_points, track_interval, app_file(L"\\track")),
      track_uploader_(app_file(L"\\track"), track_server().host, L"/generate-uuid", track_server().port, serial),
      trip_data_uploader_(app_file(L"\\order_close_inf")) {
    trip_data_uploader_.start();
}

void controller_tracks::add(const gps::location& position) {
    recorder_.add(position);
    track_uploader_.start();
}

void controller_tracks::flush() {
    recorder_.flush();
}

} // namespace zel::controller_
