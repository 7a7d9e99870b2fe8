// "tax_dump.bin" on disk. A write leaves either the old or the new file whole, whenever the process dies or
// the power fails: the bytes go to "temp_tax_dump.bin", which is flushed to the disk, then renamed over the
// dump in one step (no moment without a dump), and the folder is flushed so that the rename itself lasts.
//
// The system calls go through dump_file_ops so that a test can stop the writer after any one of them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zel::gps {

class dump_file_ops {
public:
    virtual ~dump_file_ops() = default;
    // Each returns a descriptor or -1, true or false, as the system call does.
    virtual int open_for_writing(const std::filesystem::path& file) = 0; // created or emptied
    virtual int open_folder(const std::filesystem::path& folder) = 0;
    virtual bool write_all(int fd, const std::string& bytes) = 0;
    virtual bool sync(int fd) = 0;
    virtual bool close(int fd) = 0;
    virtual bool rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;

    // The operations on the real file system.
    static dump_file_ops& system();
};

class dump_file {
public:
    static std::filesystem::path path();      // "tax_dump.bin" in the program folder
    static std::filesystem::path temp_path(); // "temp_tax_dump.bin" beside it

    // Replaces the dump with bytes; false (with a log line) when any step failed. Until the rename the old
    // dump stays as it was; the temporary file is left for the next write to empty.
    static bool write(const std::string& bytes, dump_file_ops& ops = dump_file_ops::system());
    // The dump's bytes; nothing when there is none, or (logged) when it cannot be read or is too large.
    static std::optional<std::string> read(uint64_t max_size);
    static void remove();
};

} // namespace zel::gps
