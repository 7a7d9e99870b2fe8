#include "gps/taximeter/dump_file.h"

#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::gps {

namespace {

class system_ops : public dump_file_ops {
public:
    int open_for_writing(const std::filesystem::path& file) override {
        return ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    int open_folder(const std::filesystem::path& folder) override {
        return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    bool write_all(int fd, const std::string& bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }
    bool sync(int fd) override {
        return ::fsync(fd) == 0;
    }
    bool close(int fd) override {
        return ::close(fd) == 0;
    }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
};

void log_failure(const char* step) {
    log(logger::error, L"tax_dump.bin: " + utf8_to_wide(step) + L" failed: " + utf8_to_wide(std::strerror(errno)));
}

} // namespace

dump_file_ops& dump_file_ops::system() {
    static system_ops ops;
    return ops;
}

std::filesystem::path dump_file::path() {
    return app_file(L"\\tax_dump.bin");
}

std::filesystem::path dump_file::temp_path() {
    return app_file(L"\\temp_tax_dump.bin");
}

bool dump_file::write(const std::string& bytes, dump_file_ops& ops) {
    const std::filesystem::path temp = temp_path();
    const int fd = ops.open_for_writing(temp);
    if (fd < 0) {
        log_failure("creating temp_tax_dump.bin");
        return false;
    }
    // Flushed before the rename: otherwise a power cut could leave the renamed file without its bytes.
    const bool written = ops.write_all(fd, bytes) && ops.sync(fd);
    if (!written) {
        log_failure("writing temp_tax_dump.bin");
    }
    if (!ops.close(fd) && written) {
        log_failure("closing temp_tax_dump.bin");
        return false;
    }
    if (!written) {
        return false;
    }
    if (!ops.rename(temp, path())) {
        log_failure("renaming temp_tax_dump.bin");
        return false;
    }
    const int folder = ops.open_folder(path().parent_path());
    if (folder < 0) {
        log_failure("opening the program folder");
        return false;
    }
    const bool synced = ops.sync(folder);
    if (!synced) {
        log_failure("flushing the program folder");
    }
    ops.close(folder);
    return synced;
}

std::optional<std::string> dump_file::read(uint64_t max_size) {
    const int fd = ::open(path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            log_failure("opening");
        }
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        log_failure("reading the size of");
    } else if (static_cast<uint64_t>(info.st_size) > max_size) {
        log(logger::error, L"tax_dump.bin: " + int64_to_wstring(info.st_size) + L" bytes, larger than any ride");
    } else {
        std::string data(static_cast<size_t>(info.st_size), '\0');
        size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (done == data.size()) {
            bytes = std::move(data);
        } else {
            log_failure("reading");
        }
    }
    ::close(fd);
    return bytes;
}

void dump_file::remove() {
    if (::unlink(path().c_str()) != 0 && errno != ENOENT) {
        log_failure("deleting");
    }
}

} // namespace zel::gps
