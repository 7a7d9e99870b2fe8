// One run of a driver's journey: the built terminal as its own process on the headless display, following the
// journey's steps (MORVIK_STEPS) against the loopback servers, then checked. Used from one thread.
//
// A journey is a folder tests/journeys/NAME/ (one CTest case per size: journey_NAME_480x800, _800x480):
//   steps            the program's step file (the step list is in README.md)
//   dispatch.script  the dispatch server's script (tools/dispatch_server/dispatch_server.py); without it no
//                    dispatch server runs
//   login.script     the login server's script; without it tests/journeys/login_server.script
//   route            the receiver's route (tools/gps_receiver/route_receiver.h: "LAT LON" points, "drive" and
//                    "stand" lines), one point a "drive" second; without it the receiver stands still at
//                    route_receiver::standing_point()
//   journey          settings and checks beyond the scripts, one a line ("#" comments):
//                      exit CODE            the exit code expected (default 0)
//                      http-body TEXT       an answer body of the HTTP server, in turn; the last answers the rest
//                      no-http              nothing listens at MORVIK_REG_HOST and MORVIK_API_HOST
//                      http TEXT            a request the HTTP server received holds TEXT (line, headers or body)
//                      ran NAME [ARGS]      the stand-in NAME ("navigation", "xdg-open") ran with exactly ARGS
//                      command NAME MEMBER MIN MAX
//                                           the last command NAME the dispatch server received has the number
//                                           MEMBER, MIN <= MEMBER <= MAX
// In steps, scripts and the route a line "include FILE" stands for FILE's lines (FILE relative to the including file's
// folder): the shared login (tests/journeys/login.steps, callsigns.script, login.script) is included so. In
// FILE, ${SIZE} stands for the run's size: a tap at a point that differs between the two layouts (a key drawn
// without a text) goes into one small file per size.
// The scripts may use ${DISPATCH} (the dispatch server's port, or one where nothing listens), ${DEVICE_ID} (this
// machine's device id, the "local-id" of a device without a serial number) and ${VERSION} (the program's version text).
//
// Every snapshot NAME.png the program writes is compared with tests/journeys/golden/SIZE/NAME.png
// (MORVIK_UPDATE_GOLDEN=1 writes it): a snapshot name means the same picture in every journey. With
// MORVIK_REAL_FONT_SNAPSHOTS naming a folder, the program draws with the real font and the snapshots are copied
// to FOLDER/SIZE/NAME.png in place of that comparison (scripts/contact_sheet).
//
// The run's folder is runs/NAME_SIZE/ under the working directory (runs/NAME_SIZE_split_MODE/ when
// MORVIK_DISPATCH_SPLIT has the test dispatch server split its answers): the program folder (morvik hard-linked, the
// built skin and sound folders, no "cache/servers"), the expanded files, the servers' transcripts
// (dispatch_server.log, login_server.log, http_server.log and the requests under http/), the program's log
// (morvik.log), its snapshots and the stand-ins' record (ran.txt). A passing run removes it; a failing one keeps
// it and names it.
//
//   state     event                                    next
//   laid      start: servers, receiver, the program    running
//   running   "fix" on its standard output             running   the receiver moves on; "LAT LON" answered
//   running   it ends, or the time limit passes        checked   (killed at the limit)
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zel::test {

class journey_run {
public:
    // The journey's folder under tests/journeys/ and the screen ("480x800" or "800x480").
    journey_run(std::string name, std::string size);

    // Lays the folder, runs the program to its end and checks; the problems found, none when the run passed.
    std::vector<std::string> run();
    // The run's folder (kept after a failed run).
    const std::filesystem::path& folder() const {
        return folder_;
    }

private:
    struct settings {
        int exit_code = 0;
        bool http = true;
        std::vector<std::string> http_bodies;
        std::vector<std::string> http_texts;
        std::vector<std::string> ran;
        struct range {
            std::string command;
            std::string member;
            double min = 0;
            double max = 0;
        };
        std::vector<range> ranges;
    };

    settings read_settings() const;
    void lay_folder();
    void check_snapshots(std::vector<std::string>& problems) const;
    void check_settings(const settings& wanted, const std::vector<std::string>& dispatch_commands,
                        std::vector<std::string>& problems) const;

    const std::string name_;
    const std::string size_;
    const std::filesystem::path source_;
    const std::filesystem::path folder_;
};

// A file's lines with every "include FILE" line replaced by FILE's lines, recursively, ${SIZE} in FILE replaced by
// size; throws std::runtime_error naming a file that cannot be read or includes itself.
std::string expand_includes(const std::filesystem::path& file, const std::string& size = "");

} // namespace zel::test
