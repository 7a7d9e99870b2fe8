// The taximeter's threads as the program runs them: the GPS thread steps and writes the dump, the UI thread
// reads the figures and prices bills from the dump, the packet thread stops the ride. A stop never waits for
// a dump write, and no dump of a stopped ride is left behind. scripts/test also runs this under
// ThreadSanitizer.
#include "gps/taximeter/tax_dump.h"
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

namespace zel::gps::testing {
namespace {

// The real file system, with one flush of a dump write held until the test lets it go: the sync calls are
// counted over every write, and the one whose number is held waits. The waits are bounded so that a stop
// that waits for the write fails the test instead of hanging it.
class held_flush : public dump_file_ops {
public:
    int open_for_writing(const std::filesystem::path& file) override {
        return system().open_for_writing(file);
    }
    int open_folder(const std::filesystem::path& folder) override {
        return system().open_folder(folder);
    }
    bool write_all(int fd, const std::string& bytes) override {
        return system().write_all(fd, bytes);
    }
    bool close(int fd) override {
        return system().close(fd);
    }
    bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return system().rename(from, to);
    }
    bool sync(int fd) override {
        {
            std::unique_lock lock(lock_);
            const int number = ++syncs_;
            if (number == held_) {
                holding_ = number;
                changed_.notify_all();
                changed_.wait_for(lock, bound, [&] { return held_ != number; });
                holding_ = 0;
            }
        }
        return system().sync(fd);
    }

    void hold(int sync_number) {
        std::lock_guard lock(lock_);
        held_ = sync_number;
        changed_.notify_all();
    }
    bool wait_until_holding(int sync_number) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, bound, [&] { return holding_ == sync_number; });
    }
    bool holding(int sync_number) {
        std::lock_guard lock(lock_);
        return holding_ == sync_number;
    }
    int syncs() {
        std::lock_guard lock(lock_);
        return syncs_;
    }

private:
    static constexpr std::chrono::seconds bound{20};
    static dump_file_ops& system() {
        return dump_file_ops::system();
    }

    std::mutex lock_;
    std::condition_variable changed_;
    int syncs_ = 0;
    int held_ = -1;
    int holding_ = 0; // the number of the sync that waits, 0 for none
};

const tariff_recipe by_distance{.per_km = 10, .per_minute = 60};

TEST_F(taximeter_test, a_stop_during_a_dump_write_returns_at_once_and_the_file_goes_after_the_write) {
    held_flush disk;
    taximeter meter;
    meter.set_dump_file_ops(disk);
    start(meter, by_distance, L"A1");
    play(meter, steady(1, 6, 0, 10, 36)); // the dump of second 1: a file flush and a folder flush
    ASSERT_EQ(disk.syncs(), 2);
    ASSERT_TRUE(std::filesystem::exists(dump_file::path()));

    disk.hold(3); // the flush of the next dump's temporary file
    set_time(7);
    std::thread gps([&] { meter.on_location(location_at(60, 36, 5, ride_start_ms + 7000)); });
    ASSERT_TRUE(disk.wait_until_holding(3));

    meter.stop();
    EXPECT_TRUE(disk.holding(3)) << "stop waited for the dump write";
    EXPECT_FALSE(std::filesystem::exists(dump_file::path()));

    disk.hold(4); // the folder flush, after the stale dump was renamed into place
    ASSERT_TRUE(disk.wait_until_holding(4));
    EXPECT_TRUE(std::filesystem::exists(dump_file::path()));
    {
        // The same order started again meanwhile does not resume the stopped ride from that file.
        taximeter again;
        start(again, by_distance, L"A1");
        EXPECT_TRUE(again.points().empty());
        EXPECT_EQ(again.elapsed_seconds(), 0u);
    }
    disk.hold(-1);
    gps.join();
    EXPECT_FALSE(std::filesystem::exists(dump_file::path()));
    EXPECT_FALSE(meter.is_running());
}

TEST_F(taximeter_test, readers_steps_dump_writes_and_stops_on_their_own_threads) {
    const tariff_params tariff = make_tariff(by_distance);
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        taximeter meter;
        meter.set_tariff(&tariff);
        set_time(0);
        meter.start(L"A1");
        const int steps = 40 + round * 5;
        const int stop_after = std::uniform_int_distribution<int>(1, steps)(random);
        std::atomic<int> stepped{0};
        std::atomic<bool> done{false};

        std::thread gps([&] {
            for (int i = 1; i <= steps; ++i) {
                clock_.set_wall_ms(ride_start_ms + i * 1000);
                meter.on_location(location_at(10.0 * i, i % 2 == 0 ? 10.0f : 36.0f, 5, ride_start_ms + i * 1000));
                stepped = i;
            }
            done = true;
        });
        std::thread ui([&] {
            while (!done) {
                const float total = meter.cost_total();
                EXPECT_TRUE(std::isfinite(total) && (total == 0.0f || total >= 50.0f)) << total;
                EXPECT_GE(meter.distance(), 0.0f);
                (void)meter.downtime_window();
                (void)meter.points().size();
                taximeter bill;
                bill.set_tariff(&tariff);
                bill.start(L"A1");
                EXPECT_TRUE(std::isfinite(bill.recompute()));
            }
        });
        while (stepped < stop_after && !done) {
            std::this_thread::yield();
        }
        meter.stop();
        gps.join();
        ui.join();
        EXPECT_FALSE(std::filesystem::exists(dump_file::path())) << "round " << round;
    }
}

} // namespace
} // namespace zel::gps::testing
