// "tax_dump.bin": its bytes, resuming a ride from it (after a restart and in the bill's own taximeter),
// files that are cut short or corrupt, a power cut after every system call of a write, and a wall clock set
// back while a downtime is open.
#include "gps/taximeter/tax_dump.h"
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <atomic>
#include <map>
#include <thread>

namespace zel::gps::testing {
namespace {

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(tax_dump, bytes_of_a_dump) {
    tax_dump dump;
    dump.order_id = u"7\u044f";
    dump.start_time = 0x0102030405060708ULL;
    location point;
    point.latitude = 1.0;
    point.longitude = -2.0;
    point.speed = 36.5f;
    point.accuracy = 5.0f;
    point.satellites = 7;
    point.course = 90;
    point.delivery_time = 0x1122334455667788ULL;
    point.altitude = 120.0; // not saved
    dump.points.push_back(point);
    dump.downtime.push_back({1, 2});
    const std::string bytes = dump.encode();
    EXPECT_EQ(hex(bytes), "02000000"
                          "37004f04"
                          "0807060504030201"
                          "01000000"
                          "000000000000f03f"
                          "00000000000000c0"
                          "00001242"
                          "0000a040"
                          "07000000"
                          "5a000000"
                          "8877665544332211"
                          "01000000"
                          "0100000000000000"
                          "0200000000000000");
    const std::optional<tax_dump> back = tax_dump::decode(bytes, nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->order_id, dump.order_id);
    EXPECT_EQ(back->start_time, dump.start_time);
    ASSERT_EQ(back->points.size(), 1u);
    EXPECT_EQ(back->points[0].delivery_time, point.delivery_time);
    EXPECT_EQ(back->points[0].course, 90);
    EXPECT_EQ(back->points[0].altitude, 0.0);
    EXPECT_EQ(back->downtime[0].end, 2u);
    // An empty order id is n = 0 followed directly by the start time.
    EXPECT_EQ(hex(tax_dump{}.encode()), std::string(40, '0'));
}

TEST_F(taximeter_test, a_ride_of_two_points_and_a_downtime_dumps_124_bytes) {
    taximeter meter;
    start(meter, {.per_km = 10}, L"1234");
    // Written when the location of second 7 arrives, before it is handled.
    play(meter, ride{fix_at(1, 0, 36), fix_at(2, 10, 36), action(event::begin_downtime, 2), fix_at(7, 10, 0)});
    const std::string bytes = read_bytes(dump_file::path());
    EXPECT_EQ(bytes.size(), 124u);
    const std::optional<tax_dump> dump = tax_dump::decode(bytes, nullptr);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->order_id, u"1234");
    EXPECT_EQ(dump->start_time, static_cast<uint64_t>(ride_start_ms));
    EXPECT_EQ(dump->downtime[0].begin, static_cast<uint64_t>(ride_start_ms + 2000));
    EXPECT_EQ(dump->downtime[0].end, static_cast<uint64_t>(ride_start_ms + 2000));
}

TEST_F(taximeter_test, an_order_id_beyond_the_basic_plane_counts_utf16_units) {
    const std::wstring order_id = L"\U0001F695-5";
    taximeter meter;
    start(meter, {.per_km = 10}, order_id);
    play(meter, steady(1, 7, 0, 10, 36));
    const std::string bytes = read_bytes(dump_file::path());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(hex(bytes.substr(0, 12)), "040000003dd895de2d003500");

    taximeter bill;
    set_time(8);
    bill.start(order_id);
    EXPECT_EQ(bill.order_id(), order_id);
    EXPECT_EQ(bill.points().size(), 6u);
}

// The bill's taximeter reads the ride from the dump and prices it with the bill's rate: distance and the
// time since the last kept point. It writes nothing and leaves the dump in place.
TEST_F(taximeter_test, the_bills_taximeter_prices_the_dumped_ride) {
    taximeter meter;
    start(meter, {.per_km = 10, .per_minute = 60});
    play(meter, steady(1, 55, 0, 10, 36) + steady(56, 61, 540, 0, 0));
    const std::string dumped = read_bytes(dump_file::path());
    {
        taximeter bill;
        const tariff_params rate = make_tariff({.per_km = 20, .per_minute = 60});
        bill.set_tariff(&rate);
        set_time(61);
        bill.start(L"A1");
        bill.recompute();
        EXPECT_NEAR(bill.distance(), 540.0, 1e-3);
        EXPECT_EQ(bill.elapsed_seconds(), 61u);
        EXPECT_NEAR(bill.cost_distance(), 10.8f, 1e-4);
        // The six seconds since the last kept point (second 55); a ride restored without its last point
        // time was charged all 61 seconds as time on top of the distance.
        EXPECT_NEAR(bill.cost_time(), 6.0f, 1e-4);
        EXPECT_NEAR(bill.cost_total(), 66.8f, 1e-4);
    }
    EXPECT_EQ(read_bytes(dump_file::path()), dumped);
}

TEST_F(taximeter_test, a_restarted_program_resumes_the_ride) {
    {
        taximeter before_crash;
        start(before_crash, {.per_km = 10});
        // Dumps at seconds 1, 7, 13, 19 and 25; the last holds the points of seconds 1 to 24.
        play(before_crash, steady(1, 30, 0, 10, 36));
    }
    taximeter meter;
    start(meter, {.per_km = 10});
    EXPECT_EQ(meter.points().size(), 24u);
    set_time(33);
    EXPECT_EQ(meter.elapsed_seconds(), 33u);
    play(meter, steady(33, 60, 320, 10, 36));
    set_time(60);
    meter.recompute();
    // As if the ride had gone on without the restart.
    EXPECT_NEAR(meter.distance(), 590.0, 1e-3);
    EXPECT_NEAR(meter.cost_total(), 55.9f, 1e-4);
}

TEST_F(taximeter_test, an_open_downtime_is_restored_closed_at_its_last_extension) {
    const tariff_recipe tariff{.per_minute = 60, .downtime_per_minute = 60};
    {
        taximeter before_crash;
        start(before_crash, tariff);
        before_crash.set_pause(1);
        play(before_crash, steady(1, 3, 0, 10, 36) + action(event::pause_off, 3) + action(event::begin_downtime, 3) +
                               steady(4, 140, 20, 0, 0));
    }
    taximeter meter;
    start(meter, tariff);
    EXPECT_FALSE(meter.in_downtime());
    // Dumped at second 139, when the interval had been extended to 138.
    EXPECT_EQ(meter.downtime_seconds(), 135u);
    set_time(150);
    meter.recompute();
    EXPECT_NEAR(meter.cost_downtime(), 135.0f, 1e-4);
    // The pause (seconds 0 to 3) is not in the dump, so its two stretches are charged now; then the twelve
    // seconds from the end of the downtime.
    EXPECT_NEAR(meter.cost_time(), 2.0f + 12.0f, 1e-4);
}

TEST_F(taximeter_test, a_dump_of_another_order_is_ignored_and_replaced) {
    taximeter first;
    start(first, {.per_km = 10}, L"A1");
    play(first, steady(1, 7, 0, 10, 36));

    taximeter second;
    set_time(20);
    second.start(L"B2");
    EXPECT_TRUE(second.points().empty());
    EXPECT_EQ(second.elapsed_seconds(), 0u);
    play(second, {fix_at(21, 0, 36)});
    const std::optional<tax_dump> dump = tax_dump::decode(read_bytes(dump_file::path()), nullptr);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->order_id, u"B2");
    EXPECT_TRUE(dump->points.empty());
}

// Anything but a whole dump is no dump: the ride starts empty, and its first location replaces the file.
TEST_F(taximeter_test, a_cut_short_or_corrupt_dump_is_ignored) {
    taximeter writer;
    start(writer, {.per_km = 10});
    play(writer, steady(1, 5, 0, 10, 36) + action(event::begin_downtime, 5) + steady(6, 7, 40, 0, 0));
    const std::string good = read_bytes(dump_file::path());
    ASSERT_EQ(good.size(), 20u + 4 + 40 * 5 + 16);
    writer.stop();

    auto with_u32 = [&good](size_t offset, uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    std::vector<std::pair<std::string, std::string>> bad = {
        {"one byte more", good + '\0'},
        {"order id length beyond the file", with_u32(0, 0xFFFFFFFF)},
        {"point count beyond the file", with_u32(16, 0xFFFFFFFF)},
        {"one point more than present", with_u32(16, 6)},
        {"interval count beyond the file", with_u32(16 + 4 + 40 * 5, 0xFFFFFFFF)},
    };
    for (size_t size = 0; size < good.size(); size += 7) {
        bad.emplace_back("cut to " + std::to_string(size) + " bytes", good.substr(0, size));
    }
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(tax_dump::decode(good.substr(0, size), nullptr)) << size;
    }
    for (const auto& [name, bytes] : bad) {
        EXPECT_FALSE(tax_dump::decode(bytes, nullptr)) << name;
        write_bytes(dump_file::path(), bytes);
        taximeter meter;
        set_time(100);
        meter.start(L"A1");
        EXPECT_TRUE(meter.is_running()) << name;
        EXPECT_TRUE(meter.points().empty()) << name;
        EXPECT_EQ(meter.downtime_seconds(), 0u) << name;
        EXPECT_EQ(meter.elapsed_seconds(), 0u) << name;
        play(meter, {fix_at(101, 0, 36)});
        EXPECT_TRUE(tax_dump::decode(read_bytes(dump_file::path()), nullptr)) << name;
    }
}

// A disk as a power cut leaves it: each file's bytes survive only as last flushed, and names only as the
// folder was last flushed, or (the rename reached the disk on its own) as the process last saw them.
class power_cut_disk : public dump_file_ops {
public:
    power_cut_disk(int calls_before_the_cut, const std::string& dump, const std::string& old_bytes)
        : calls_left_(calls_before_the_cut) {
        files_.push_back({old_bytes, old_bytes});
        files_.push_back({"stale temporary", "stale temporary"});
        names_[dump] = 0;
        names_[dump_file::temp_path().string()] = 1;
        flushed_names_ = names_;
    }

    int open_for_writing(const std::filesystem::path& file) override {
        if (!call()) {
            return -1;
        }
        const auto found = names_.find(file.string());
        if (found == names_.end()) {
            files_.push_back({});
            names_[file.string()] = files_.size() - 1;
            return open(files_.size() - 1);
        }
        files_[found->second].written.clear();
        return open(found->second);
    }
    int open_folder(const std::filesystem::path&) override {
        return call() ? open(folder) : -1;
    }
    bool write_all(int fd, const std::string& bytes) override {
        if (!call()) {
            return false;
        }
        files_[open_[fd]].written += bytes;
        return true;
    }
    bool sync(int fd) override {
        if (!call()) {
            return false;
        }
        if (open_[fd] == folder) {
            flushed_names_ = names_;
        } else {
            files_[open_[fd]].flushed = files_[open_[fd]].written;
        }
        return true;
    }
    bool close(int fd) override {
        if (!call()) {
            return false;
        }
        open_.erase(fd);
        return true;
    }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (!call()) {
            return false;
        }
        const auto found = names_.find(from.string());
        if (found == names_.end()) {
            return false;
        }
        names_[to.string()] = found->second;
        names_.erase(found);
        return true;
    }

    // What a reader finds under name after the process died (nothing lost) or after a power cut (two ways).
    std::vector<std::optional<std::string>> outcomes(const std::string& name) const {
        auto find = [&](const std::map<std::string, size_t>& names, bool flushed) -> std::optional<std::string> {
            const auto found = names.find(name);
            if (found == names.end()) {
                return std::nullopt;
            }
            return flushed ? files_[found->second].flushed : files_[found->second].written;
        };
        return {find(names_, false), find(names_, true), find(flushed_names_, true)};
    }

private:
    struct file {
        std::string written;
        std::string flushed;
    };
    static constexpr size_t folder = SIZE_MAX;

    bool call() {
        return calls_left_-- > 0;
    }

public:
    bool was_cut() const {
        return calls_left_ < 0;
    }

private:
    int open(size_t node) {
        open_[next_fd_] = node;
        return next_fd_++;
    }

    int calls_left_;
    std::vector<file> files_;
    std::map<std::string, size_t> names_;
    std::map<std::string, size_t> flushed_names_;
    std::map<int, size_t> open_;
    int next_fd_ = 3;
};

// The bytes of two dumps of one order that differ in their number of points.
std::pair<std::string, std::string> two_dumps(size_t first_points, size_t second_points) {
    tax_dump dump;
    dump.order_id = u"A1";
    dump.points.resize(first_points);
    std::string first = dump.encode();
    dump.points.resize(second_points);
    return {std::move(first), dump.encode()};
}

TEST_F(taximeter_test, a_power_cut_after_any_call_of_a_write_leaves_the_old_or_the_new_dump) {
    const auto [old_bytes, new_bytes] = two_dumps(3, 4);
    const std::string dump = dump_file::path().string();

    for (int calls = 0;; ++calls) {
        power_cut_disk disk(calls, dump, old_bytes);
        const bool written = dump_file::write(new_bytes, disk);
        for (const std::optional<std::string>& found : disk.outcomes(dump)) {
            ASSERT_TRUE(found) << "no dump after " << calls << " calls";
            EXPECT_TRUE(*found == old_bytes || *found == new_bytes) << "a torn dump after " << calls << " calls";
            if (written) {
                EXPECT_EQ(*found, new_bytes) << "reported written after " << calls << " calls but not on the disk";
            }
        }
        if (!disk.was_cut()) {
            EXPECT_TRUE(written);
            break;
        }
    }
}

TEST_F(taximeter_test, a_reader_never_finds_the_dump_missing_or_torn_while_it_is_rewritten) {
    const auto [a_bytes, b_bytes] = two_dumps(100, 1000);
    ASSERT_TRUE(dump_file::write(a_bytes));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 40; ++i) {
            dump_file::write(i % 2 == 0 ? b_bytes : a_bytes);
        }
        done = true;
    });
    int reads = 0;
    while (!done || reads == 0) {
        const std::optional<std::string> bytes = dump_file::read(tax_dump::max_size);
        ASSERT_TRUE(bytes);
        ASSERT_TRUE(*bytes == a_bytes || *bytes == b_bytes);
        ++reads;
    }
    writer.join();
}

// The wall clock set back during a downtime: the interval's end stays at its begin, nothing wraps, the dump
// is written at once, and a restart that reads it prices the ride (a reversed interval used to send the
// moving-time recursion into a stack overflow at every restart).
TEST_F(taximeter_test, a_clock_set_back_during_downtime) {
    const tariff_recipe tariff{.per_km = 10, .per_minute = 60, .downtime_per_minute = 60};
    {
        taximeter meter;
        start(meter, tariff);
        play(meter, steady(1, 5, 0, 10, 36) + action(event::begin_downtime, 5) + steady(6, 20, 40, 0, 0) +
                        fix_at(-100, 50, 0) + steady(-99, -94, 50, 0, 0));
        EXPECT_TRUE(meter.in_downtime());
        EXPECT_EQ(meter.downtime_window().first, 0);
        EXPECT_FALSE(meter.downtime_due());
        EXPECT_EQ(meter.downtime_seconds(), 0u);
        EXPECT_EQ(meter.elapsed_seconds(), 0u);
        EXPECT_FLOAT_EQ(meter.cost_downtime(), 0.0f);
        EXPECT_LT(meter.cost_total(), 100.0f);
    }
    const std::optional<tax_dump> dump = tax_dump::decode(read_bytes(dump_file::path()), nullptr);
    ASSERT_TRUE(dump);
    ASSERT_EQ(dump->downtime.size(), 1u);
    EXPECT_GE(dump->downtime[0].end, dump->downtime[0].begin);
    EXPECT_EQ(dump->points.size(), 6u); // seconds 1 to 5 and the one at -100

    taximeter meter;
    set_time(25);
    const tariff_params rate = make_tariff(tariff);
    meter.set_tariff(&rate);
    meter.start(L"A1");
    play(meter, steady(25, 30, 60, 10, 36));
    set_time(30);
    meter.recompute();
    EXPECT_NEAR(meter.distance(), 40 + 10 + 10 + 50, 1e-3);
    EXPECT_EQ(meter.downtime_seconds(), 0u);
    EXPECT_EQ(meter.elapsed_seconds(), 30u);
}

// A dump from a writer that did not clamp its intervals: the reversed one is read as empty.
TEST_F(taximeter_test, a_reversed_interval_in_a_dump_counts_as_empty) {
    tax_dump dump;
    dump.order_id = u"A1";
    dump.start_time = ride_start_ms;
    for (int i = 0; i < 3; ++i) {
        location point;
        point.latitude = latitude_at(i * 100.0);
        point.longitude = base_longitude;
        point.speed = 36;
        point.accuracy = 5;
        point.delivery_time = ride_start_ms + (i == 0 ? -100000 : i * 10000);
        dump.points.push_back(point);
    }
    dump.downtime.push_back({ride_start_ms + 5000, ride_start_ms - 100000});
    write_bytes(dump_file::path(), dump.encode());

    taximeter meter;
    start(meter, {.per_km = 10, .per_minute = 60, .downtime_per_minute = 60});
    EXPECT_EQ(meter.downtime_seconds(), 0u);
    set_time(30);
    meter.recompute();
    EXPECT_NEAR(meter.distance(), 200.0, 1e-3);
    EXPECT_FLOAT_EQ(meter.cost_downtime(), 0.0f);
    EXPECT_EQ(meter.moving_ms(ride_start_ms - 100000, ride_start_ms + 20000), 120000u);
}

} // namespace
} // namespace zel::gps::testing
