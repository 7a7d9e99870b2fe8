// Starting another program and ending this one. The program reaches both through one installed backend; the
// default backend spawns with posix_spawnp and ends with _exit. Tests install a recorder that notes each call
// and returns, so callers must return normally after end_this_process.
//
// Threads: any thread may call; a started program is never waited for by the caller, a detached thread reaps
// it when it ends (no zombie, no SIGCHLD handler that would change how the rest of the process waits).
#pragma once

#include <string>
#include <vector>

class process_control {
public:
    virtual ~process_control() = default;

    // Starts program (a path, or a name looked up in PATH) with arguments, not waited for. False, with a log
    // line, when it could not be started.
    virtual bool start_program(const std::wstring& program, const std::vector<std::wstring>& arguments);

    // Ends this process at once with exit_code: no destructors, no buffers flushed.
    virtual void end_this_process(int exit_code);

    // The installed backend (the default one until install). Safe to call from any thread.
    static process_control& current();
    // Installs a backend for the whole process; null restores the default. The backend must outlive its use.
    static void install(process_control* backend);
};
