#include "tests/journeys/journey_run.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "foundation/device_info.h"
#include "tests/controller/test_peer.h"
#include "tests/support/child_program.h"
#include "tests/support/dispatch_peer.h"
#include "tests/support/golden.h"
#include "tools/gps_receiver/route_receiver.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace zel::test {

using nmea_tools::read_route;
using nmea_tools::route_point;
using nmea_tools::route_receiver;

namespace {

constexpr char dispatch_script[] = "tools/dispatch_server/dispatch_server.py";
constexpr char http_script[] = "tests/controller/peers/http_server.py";
// Safety nets, not timings: the whole run, the end after SIGTERM, a stand-in's record.
constexpr auto run_limit = 240s;
constexpr auto end_limit = 10s;
constexpr auto stand_in_limit = 5s;
// The step mode's wall clock unless the steps pin another.
constexpr int64_t default_clock = 1600056300;

// The folder that collects real-font snapshots in place of the golden comparison, empty for none.
fs::path real_font_snapshots() {
    const char* folder = std::getenv("MORVIK_REAL_FONT_SNAPSHOTS");
    return folder && *folder ? fs::path(folder) : fs::path();
}

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

void write_text(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

void write_program(const fs::path& file, const std::string& text) {
    write_text(file, text);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Hard links where the build and the run share a file system (cheap for the ~40 runs), copies elsewhere.
void link_or_copy(const fs::path& from, const fs::path& to) {
    std::error_code linked;
    if (fs::is_directory(from)) {
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::create_hard_links, linked);
        if (linked) {
            fs::remove_all(to);
            fs::copy(from, to, fs::copy_options::recursive);
        }
    } else {
        fs::create_hard_link(from, to, linked);
        if (linked) {
            fs::copy_file(from, to);
        }
    }
}

std::string number_text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += "\n    " + line;
    }
    return out;
}

} // namespace

std::string expand_includes(const fs::path& file, const std::string& size) {
    static thread_local std::vector<fs::path> open_files;
    const fs::path canonical = fs::weakly_canonical(file);
    if (std::find(open_files.begin(), open_files.end(), canonical) != open_files.end()) {
        throw std::runtime_error(file.string() + " includes itself");
    }
    open_files.push_back(canonical);
    std::string out;
    try {
        for (const std::string& line : lines_of(read_text(file))) {
            const std::string step = trimmed(line);
            if (step.rfind("include ", 0) == 0) {
                std::string name = trimmed(step.substr(8));
                for (auto at = name.find("${SIZE}"); at != std::string::npos; at = name.find("${SIZE}", at)) {
                    name.replace(at, 7, size);
                }
                out += expand_includes(file.parent_path() / name, size);
            } else {
                out += line + "\n";
            }
        }
    } catch (...) {
        open_files.pop_back();
        throw;
    }
    open_files.pop_back();
    return out;
}

namespace {

// The run's folder name: a run with split answers (MORVIK_DISPATCH_SPLIT, which the dispatch server reads) has
// its own, so that it may run beside the plain one.
std::string run_name(const std::string& name, const std::string& size) {
    const char* split = std::getenv("MORVIK_DISPATCH_SPLIT");
    const std::string given = split ? split : "";
    const std::string mode = given.substr(0, given.find(':'));
    return name + "_" + size + (mode.empty() || mode == "off" ? "" : "_split_" + mode);
}

} // namespace

journey_run::journey_run(std::string name, std::string size)
    : name_(std::move(name)), size_(std::move(size)), source_(source_file("tests/journeys/" + name_)),
      folder_(fs::current_path() / "runs" / run_name(name_, size_)) {}

journey_run::settings journey_run::read_settings() const {
    settings wanted;
    if (!fs::exists(source_ / "journey")) {
        return wanted;
    }
    int number = 0;
    for (const std::string& line : lines_of(read_text(source_ / "journey"))) {
        ++number;
        const std::string entry = trimmed(line);
        if (entry.empty() || entry[0] == '#') {
            continue;
        }
        const auto blank = entry.find(' ');
        const std::string word = entry.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : trimmed(entry.substr(blank));
        std::istringstream words(rest);
        settings::range range;
        if (word == "exit" && !rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos) {
            wanted.exit_code = std::stoi(rest);
        } else if (word == "http-body" && !rest.empty()) {
            wanted.http_bodies.push_back(rest);
        } else if (word == "no-http" && rest.empty()) {
            wanted.http = false;
        } else if (word == "http" && !rest.empty()) {
            wanted.http_texts.push_back(rest);
        } else if (word == "ran" && !rest.empty()) {
            wanted.ran.push_back(rest);
        } else if (word == "command" && words >> range.command >> range.member >> range.min >> range.max) {
            wanted.ranges.push_back(range);
        } else {
            throw std::runtime_error((source_ / "journey").string() + ":" + std::to_string(number) +
                                     ": not understood: " + line);
        }
    }
    return wanted;
}

void journey_run::lay_folder() {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path built = MORVIK_TERMINAL;
    link_or_copy(built, folder_ / "morvik");
    link_or_copy(built.parent_path() / "skin", folder_ / "skin");
    link_or_copy(built.parent_path() / "sound", folder_ / "sound");
    for (const char* empty : {"power_supply", "http", "bin"}) {
        fs::create_directories(folder_ / empty);
    }
    write_text(folder_ / "steps", expand_includes(source_ / "steps", size_));
    if (fs::exists(source_ / "route")) {
        write_text(folder_ / "route", expand_includes(source_ / "route", size_));
    }
    if (fs::exists(source_ / "dispatch.script")) {
        write_text(folder_ / "dispatch.script", expand_includes(source_ / "dispatch.script", size_));
    }
    const fs::path login =
        fs::exists(source_ / "login.script") ? source_ / "login.script" : source_.parent_path() / "login_server.script";
    write_text(folder_ / "login.script", expand_includes(login, size_));
    // The stand-ins write one line each time they run: their name and arguments.
    const std::string record = " >> '" + (folder_ / "ran.txt").string() + "'\n";
    write_program(folder_ / "bin" / "xdg-open", "#!/bin/sh\necho 'xdg-open'\"${*:+ $*}\"" + record);
    write_program(folder_ / "navigator", "#!/bin/sh\necho 'navigation'\"${*:+ $*}\"" + record);
    write_text(folder_ / "navigation.txt", (folder_ / "navigator").string() + "\n");
}

std::vector<std::string> journey_run::run() {
    std::vector<std::string> problems;
    settings wanted;
    std::vector<route_point> route;
    try {
        wanted = read_settings();
        lay_folder();
        if (fs::exists(folder_ / "route")) {
            route = read_route(folder_ / "route");
        }
    } catch (const std::exception& error) {
        return {error.what()};
    }
    int64_t clock = default_clock;
    for (const std::string& line : lines_of(read_text(folder_ / "steps"))) {
        std::istringstream words(line);
        std::string word;
        int64_t seconds = 0;
        if (words >> word && word == "clock" && words >> seconds) {
            clock = seconds;
        }
    }
    route_receiver receiver(route, clock);

    const std::string device_id = "DEVICE_ID=" + device_unique_id();
    const std::string version = std::string("VERSION=") + MORVIK_VERSION_TEXT;
    std::unique_ptr<test_peer> dispatch;
    if (fs::exists(folder_ / "dispatch.script")) {
        dispatch = std::make_unique<test_peer>(dispatch_script,
                                               std::vector<std::string>{"--wait-seconds", "0", "--keepalive-ms", "5000",
                                                                        "--set", device_id, "--set", version,
                                                                        (folder_ / "dispatch.script").string()});
    }
    const int dispatch_port = dispatch ? dispatch->port() : unused_port();
    test_peer login(dispatch_script, {"--wait-seconds", "0", "--set", "DISPATCH=" + std::to_string(dispatch_port),
                                      "--set", device_id, "--set", version, (folder_ / "login.script").string()});
    std::unique_ptr<test_peer> http;
    if (wanted.http) {
        std::vector<std::string> arguments{"--record", (folder_ / "http").string()};
        for (const std::string& body : wanted.http_bodies) {
            arguments.insert(arguments.end(), {"--body", body});
        }
        http = std::make_unique<test_peer>(http_script, arguments);
    }
    const std::string http_host = "127.0.0.1:" + std::to_string(http ? http->port() : unused_port());

    child_program::environment env = child_program::inherited_environment();
    std::erase_if(env, [](const auto& entry) { return entry.first.rfind("MORVIK_", 0) == 0; });
    const std::string screen_size = size_ + "@192";
    env.insert_or_assign("MORVIK_STEPS", (folder_ / "steps").string());
    env.insert_or_assign("MORVIK_DISPLAY", "headless");
    env.insert_or_assign("MORVIK_SCREEN", screen_size);
    if (real_font_snapshots().empty()) {
        env.insert_or_assign("MORVIK_FONT", "box");
    }
    env.insert_or_assign("SDL_AUDIODRIVER", "dummy");
    env.insert_or_assign("SDL_VIDEODRIVER", "dummy");
    env.insert_or_assign("MORVIK_LOGIN_SERVERS", "127.0.0.1:" + std::to_string(login.port()));
    env.insert_or_assign("MORVIK_REG_HOST", http_host);
    env.insert_or_assign("MORVIK_API_HOST", http_host);
    env.insert_or_assign("MORVIK_FTP_PORT", std::to_string(unused_port()));
    env.insert_or_assign("MORVIK_GPSD", "127.0.0.1:" + std::to_string(unused_port()));
    env.insert_or_assign("MORVIK_COM1", receiver.path());
    for (int port = 2; port <= 8; ++port) {
        env.insert_or_assign("MORVIK_COM" + std::to_string(port),
                             (folder_ / ("no_device_" + std::to_string(port))).string());
    }
    env.insert_or_assign("MORVIK_POWER_SUPPLY", (folder_ / "power_supply").string());
    env.insert_or_assign("MORVIK_RUNTIME_DIR", folder_.string());
    env.insert_or_assign("PATH", (folder_ / "bin").string() + ":" + env["PATH"]);

    child_program program;
    int code = child_program::still_running;
    if (!program.start(folder_ / "morvik", folder_, env, folder_ / "morvik.log", true)) {
        problems.push_back("the program could not be started");
    } else {
        const auto end = std::chrono::steady_clock::now() + run_limit;
        while (program.running() && std::chrono::steady_clock::now() < end) {
            // The answer may fail when the program has just ended: its end is what counts then.
            if (const auto line = program.read_line(50ms); line && *line == "fix") {
                program.write_line(receiver.next());
            }
        }
        code = program.wait(0ms);
        if (code == child_program::still_running) {
            problems.push_back("the program did not end within " + std::to_string(run_limit.count()) + " s");
            program.stop(end_limit);
        } else if (code != wanted.exit_code) {
            problems.push_back(
                "the program ended with " +
                (code == child_program::signalled ? std::string("a signal") : "exit code " + std::to_string(code)) +
                ", not exit code " + std::to_string(wanted.exit_code));
        }
    }
    // The failed step, and what the sanitizers reported, say most of what went wrong.
    std::vector<std::string> errors;
    for (const std::string& line : program.log_lines()) {
        const bool error = line.find("[ERROR]") != std::string::npos || line.rfind("SUMMARY: ", 0) == 0 ||
                           line.find("runtime error: ") != std::string::npos;
        if (error && errors.size() < 10) {
            errors.push_back(line);
        }
    }
    if (!problems.empty() && !errors.empty()) {
        problems.push_back("the program's log names errors:" + joined(errors));
    }

    const std::vector<std::pair<const char*, test_peer*>> servers{
        {"dispatch_server", dispatch.get()}, {"login_server", &login}, {"http_server", http.get()}};
    for (const auto& [server_name, server] : servers) {
        if (!server) {
            continue;
        }
        const int stopped = server->stop();
        write_text(folder_ / (std::string(server_name) + ".log"), server->transcript());
        // The HTTP server has no script; SIGTERM ends it as it ends.
        if (server != http.get() && stopped != 0) {
            problems.push_back(std::string("the ") + server_name +
                               "'s script did not run to its end without a failure:" + joined(server->lines("FAIL")));
        }
    }
    const std::vector<std::string> dispatch_commands =
        dispatch ? received_commands(*dispatch) : std::vector<std::string>{};

    check_snapshots(problems);
    check_settings(wanted, dispatch_commands, problems);
    if (problems.empty()) {
        fs::remove_all(folder_);
    }
    return problems;
}

void journey_run::check_snapshots(std::vector<std::string>& problems) const {
    std::vector<fs::path> snapshots;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        const std::string file = entry.path().filename().string();
        if (entry.path().extension() == ".png" && file.find(".actual.") == std::string::npos &&
            file.find(".diff.") == std::string::npos) {
            snapshots.push_back(entry.path());
        }
    }
    std::sort(snapshots.begin(), snapshots.end());
    // A program that ends early with the expected code still owes the snapshots its steps name.
    for (const std::string& line : lines_of(read_text(folder_ / "steps"))) {
        std::istringstream words(line);
        std::string word, name;
        if (words >> word >> name && word == "snapshot" && !fs::exists(folder_ / (name + ".png"))) {
            problems.push_back("the steps' snapshot " + name + " was not written");
        }
    }
    if (const fs::path collected = real_font_snapshots(); !collected.empty()) {
        fs::create_directories(collected / size_);
        for (const fs::path& snapshot : snapshots) {
            fs::copy_file(snapshot, collected / size_ / snapshot.filename(), fs::copy_options::overwrite_existing);
        }
        return;
    }
    // compare_with_golden writes NAME.actual.png and NAME.diff.png to the working directory: the run's folder.
    const fs::path was = fs::current_path();
    fs::current_path(folder_);
    for (const fs::path& snapshot : snapshots) {
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        if (!read_png(snapshot.string(), width, height, pixels)) {
            problems.push_back("the snapshot " + snapshot.string() + " cannot be read");
            continue;
        }
        const std::string differs =
            compare_with_golden("tests/journeys/golden/" + size_, snapshot.stem().string(), width, height, pixels);
        if (!differs.empty()) {
            problems.push_back(differs);
        }
    }
    fs::current_path(was);
}

void journey_run::check_settings(const settings& wanted, const std::vector<std::string>& dispatch_commands,
                                 std::vector<std::string>& problems) const {
    for (const std::string& text : wanted.http_texts) {
        bool found = false;
        for (const auto& entry : fs::directory_iterator(folder_ / "http")) {
            found = found || read_text(entry.path()).find(text) != std::string::npos;
        }
        if (!found) {
            problems.push_back("no request of the HTTP server holds " + text);
        }
    }
    for (const std::string& ran : wanted.ran) {
        // The stand-ins run on their own; give one that was started the moment it needs to write.
        auto has_run = [&] {
            std::ifstream in(folder_ / "ran.txt");
            for (std::string line; std::getline(in, line);) {
                if (line == ran) {
                    return true;
                }
            }
            return false;
        };
        const auto end = std::chrono::steady_clock::now() + stand_in_limit;
        while (!has_run() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(20ms);
        }
        if (!has_run()) {
            problems.push_back("the stand-in did not run as \"" + ran + "\" (ran.txt holds what ran)");
        }
    }
    for (const auto& range : wanted.ranges) {
        std::string payload;
        for (const std::string& command : dispatch_commands) {
            if (command.rfind("{\"" + range.command + "\":", 0) == 0) {
                payload = command;
            }
        }
        const auto member = payload.find("\"" + range.member + "\":");
        if (payload.empty() || member == std::string::npos) {
            problems.push_back("the dispatch server received no command " + range.command + " with \"" + range.member +
                               "\"");
            continue;
        }
        const char* number = payload.c_str() + member + range.member.size() + 3;
        char* after = nullptr;
        const double value = std::strtod(number, &after);
        if (after == number || value < range.min || value > range.max) {
            problems.push_back("\"" + range.member + "\" of the last " + range.command + " is not within [" +
                               number_text(range.min) + ", " + number_text(range.max) + "]: " + payload);
        }
    }
}

} // namespace zel::test
