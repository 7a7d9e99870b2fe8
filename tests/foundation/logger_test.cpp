#include "foundation/logger.h"
#include "foundation/manual_clock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace zel {
namespace {

std::string drain(int fd) {
    std::string out;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

TEST(logger, line_format) {
    EXPECT_EQ(logger::format_line(9, 5, 3, 7, 0, L"hello"), L"9:5:3:7 [INFO] : hello\n");
    EXPECT_EQ(logger::format_line(23, 59, 59, 999, 1, L""), L"23:59:59:999 [WARNING] : \n");
    EXPECT_EQ(logger::format_line(0, 0, 0, 0, 2, L"x"), L"0:0:0:0 [ERROR] : x\n");
    EXPECT_EQ(logger::format_line(0, 0, 0, 0, 3, L"x"), L"0:0:0:0 [FATAL] : x\n");
    EXPECT_EQ(logger::format_line(0, 0, 0, 0, 7, L"x"), L"0:0:0:0 x\n");
}

TEST(logger, levels_and_output) {
    logger::create(0);
    ASSERT_NE(logger::instance(), nullptr);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    manual_clock fake(9 * 3600000LL + 5 * 60000 + 3000 + 7);
    logger::instance()->set_output_fd(fds[1]);
    logger::instance()->write(-1, L"dropped");
    logger::instance()->write(0, L"Заказ принят");
    logger::instance()->write(7, L"no prefix");
    logger::instance()->set_output_fd(-1);
    ::close(fds[1]);
    EXPECT_EQ(drain(fds[0]), "9:5:3:7 [INFO] : Заказ принят\n9:5:3:7 no prefix\n");
    ::close(fds[0]);
}

TEST(logger, long_lines_from_threads_stay_whole) {
    logger::create(0);
    char path[] = "/tmp/morvik_logXXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    logger::instance()->set_output_fd(fd);
    const std::wstring a(200000, L'a');
    const std::wstring b(200000, L'Ж');
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            for (int k = 0; k < 5; ++k) {
                log(0, i % 2 ? a : b);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    logger::instance()->set_output_fd(-1);
    ::lseek(fd, 0, SEEK_SET);
    const std::string text = drain(fd);
    ::close(fd);
    ::unlink(path);
    const std::string narrow_a(200000, 'a');
    std::string narrow_b;
    for (int i = 0; i < 200000; ++i) {
        narrow_b += "Ж";
    }
    size_t lines = 0;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const std::string body = line.substr(line.find("] : ") + 4);
        EXPECT_TRUE(body == narrow_a || body == narrow_b);
        ++lines;
    }
    EXPECT_EQ(lines, 20u);
}

} // namespace
} // namespace zel
