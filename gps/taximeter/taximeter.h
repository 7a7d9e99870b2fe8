// The taximeter: measures and prices the ride of the driver's current order from the GPS locations, and keeps
// the ride in "tax_dump.bin" so that a restarted program, or the bill's own taximeter, resumes it.
//
// Owns: the kept points, the downtime and pause intervals, the ride's figures, a snapshot of its tariff.
// Locks, always taken in this order (the store's lock, when a caller holds it, comes before all of them):
//   dump writer lock (process-wide; only dump writers take it, across the whole file work; guards dump_)
//   -> state lock (every figure, flag and time, the order id, the tariff snapshot; taken by every operation)
//   -> points lock -> downtime lock -> pause lock (each guards its list).
// Apart from these, the dump flags' lock (process-wide) is held for a moment by a writer before its snapshot
// and after its file work, and by stop and the dump reader; inside it nothing runs but an unlink of the dump
// (and the logger's line when that fails), and no other lock of the taximeter is taken. A dump
// is written from a snapshot taken under the state lock: the encoding, the write and the flush run under the
// writer lock alone, so neither a screen, nor stop, nor the store waits for the disk. A stop during a write
// deletes the file once that write is done.
// The tariff is an immutable snapshot replaced whole, so a step that took it prices with one tariff throughout.
// The accumulation keeps its running values at every kept point, so a step prices only the new stretch; a
// change of the past (a thinned point, a dropped or extended downtime, a closed pause, a restore, another
// tariff) makes it walk again from the first stretch it touches.
// Every figure is read under the state lock: a screen never sees half of a step.
//
// Ride:
//   not running --start(id)-----> running: the dump of id restored, else an empty ride
//   running     --start(same id)-> running, unchanged
//   running     --start(other)---> running: an empty ride for the other order
//   running     --stop-----------> not running: emptied, dump deleted
// Downtime (declared waiting):
//   closed --begin_downtime--> open (an interval {now, now}, its end follows the clock at every location)
//   open --end_downtime, or a location faster than 20 km/h or 300 m from where it began--> closed
//        (the interval is dropped when it lasted less than two minutes)
// Pause (the bill is shown):
//   closed --set_pause(1)--> open --set_pause(other)--> closed, the interval kept
#pragma once

#include "gps/location.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_interface.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter_point.h"
#include "gps/taximeter/time_interval.h"
#include "gps/taximeter/trip_export.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zel::gps {

class taximeter {
public:
    taximeter() = default;
    virtual ~taximeter() = default;
    taximeter(const taximeter&) = delete;
    taximeter& operator=(const taximeter&) = delete;

    virtual taximeter* self();
    // Keeps a clone of the tariff (null: keeps the current one); the caller keeps its own object.
    virtual void set_tariff(const tariff_interface* tariff);
    virtual void start(const std::wstring& order_id);
    virtual void stop();
    // 1 opens a pause (a pause already open keeps its begin); any other value closes an open one.
    virtual void set_pause(int32_t value);
    virtual float cost_total() const;
    virtual float cost_distance() const;
    virtual float cost_downtime() const;
    virtual float base_price() const;
    virtual float cost_time() const;
    virtual std::wstring order_id() const;
    // The per-location step (GPS refresh thread).
    virtual void on_location(const location& fix);
    virtual bool is_running() const;
    virtual uint64_t charged_distance() const; // whole metres
    virtual uint64_t zero() const;
    virtual float distance() const; // metres
    virtual uint64_t elapsed_seconds() const;
    virtual uint64_t downtime_seconds() const;
    virtual bool has_tariff() const;
    virtual void begin_downtime();
    virtual void end_downtime();
    virtual bool in_downtime() const;
    // {ms since the open downtime began, ms from which it is paid}.
    virtual std::pair<int32_t, int32_t> downtime_window() const;
    virtual bool downtime_due() const;
    // geo_distance(a, b), remembered in a for the next call with the same b.
    virtual double cached_distance(taximeter_point& a, const taximeter_point& b) const;
    virtual bool same_position(const taximeter_point& a, const taximeter_point& b) const;
    virtual bool is_near(const taximeter_point& a, const taximeter_point& b) const;
    // Metres per millisecond above 40.0: in effect only a point at another place with the same time.
    virtual bool is_jump(const taximeter_point& a, const taximeter_point& b) const;
    virtual bool is_detour(const taximeter_point& last, const taximeter_point& middle,
                           const taximeter_point& first) const;
    // The ride as upload records (samples and track).
    virtual void export_trip(trip_export& out);

    // Accumulation and cost computation at now; the bill's taximeter calls it after start. Returns the total.
    double recompute();
    uint64_t seconds_since_start() const;
    uint32_t open_downtime_seconds() const;
    void set_tariff_strings(const std::wstring& tariff_id, const std::wstring& tariff_text);
    // A copy of the kept points with their figures.
    std::vector<taximeter_point> points() const;
    // Milliseconds of [t1, t2] outside downtime and pauses (moving) or outside pauses (active); an interval
    // must share at least 100 ms with a stretch to cut it.
    uint64_t moving_ms(uint64_t t1, uint64_t t2) const;
    uint64_t active_ms(uint64_t t1, uint64_t t2) const;
    // The system calls of this taximeter's dump writes (tests hold a write midway); ops must outlive it.
    void set_dump_file_ops(dump_file_ops& ops);

private:
    struct tariff_values {
        float base_price = 0.0f;
        float included_distance = 0.0f; // km
        float included_time = 0.0f;     // minutes
        float price_per_km = 0.0f;
        float price_per_minute = 0.0f;
        float downtime_price = 0.0f; // per minute
        int32_t speed_limit = 0;     // km/h
        float time_cost_cap = 0.0f;
        // Bit for bit, so that a NaN from the server does not make every step walk the whole ride again.
        bool operator==(const tariff_values& other) const;
    };

    // The accumulation's running values as they stood after one kept point: a new point continues from the
    // last of them instead of walking the whole ride again.
    struct running_sums {
        double distance = 0.0; // metres
        double charged_distance = 0.0;
        double charged_seconds = 0.0;
        double time_cost = 0.0;
        uint64_t latest_time = 0; // the latest delivery time of the points up to this one
        uint8_t inclusion_used = 0;
        uint8_t cap_reached = 0;
    };

    tariff_values tariff_now() const;
    void reset();
    bool write_dump();
    bool read_dump(const std::wstring& order_id);
    void append_point(const taximeter_point& point);
    void extend_open_downtime(uint64_t now);
    // The stretches that end after time are walked again by the next accumulation: an interval changed there.
    void forget_sums_after(uint64_t time);

    // The cost model (taximeter_cost_model.cpp).
    bool inclusion_used_at(const tariff_values& tariff, double metres, uint64_t time) const;
    bool inclusion_used(const tariff_values& tariff) const;
    static double time_cost(const tariff_values& tariff, double seconds);
    static float downtime_cost(uint64_t paid_seconds, float price_per_minute);
    void accumulate(const tariff_values& tariff);
    double compute_costs(const tariff_values& tariff, uint64_t time);
    void compute_cost_parts(const tariff_values& tariff);

    mutable std::recursive_mutex state_lock_;
    mutable std::recursive_mutex points_lock_;
    mutable std::recursive_mutex downtime_lock_;
    mutable std::recursive_mutex pause_lock_;

    double distance_ = 0.0; // metres
    double charged_seconds_ = 0.0;
    double accumulated_charged_seconds_ = 0.0;
    double charged_distance_ = 0.0; // metres
    double distance_cost_ = 0.0;
    double time_cost_ = 0.0;
    double total_cost_ = 0.0;
    // Deques: a long ride grows them without moving what they hold, which would stall every reader.
    std::deque<taximeter_point> points_;
    std::vector<time_interval> downtime_;
    std::vector<time_interval> pauses_;
    // sums_[i] belongs to points_[i]; only the first sums_.size() points have theirs, the rest wait for the
    // next accumulation. They hold for sums_tariff_ and sums_start_time_ only. Under the state lock.
    std::deque<running_sums> sums_;
    tariff_values sums_tariff_;
    uint64_t sums_start_time_ = 0;
    taximeter_point downtime_start_point_;
    // Device-clock milliseconds since 1970.
    uint64_t start_time_ = 0;
    uint64_t downtime_begin_ = 0;
    uint64_t pause_begin_ = 0;
    uint64_t last_point_time_ = 0;
    uint64_t last_dump_time_ = 0;
    uint64_t paid_downtime_seconds_ = 0;
    std::wstring order_id_;
    bool downtime_open_ = false;
    bool pause_open_ = false;
    bool running_ = false;
    std::shared_ptr<const tariff_interface> tariff_;
    std::wstring tariff_id_;
    std::wstring tariff_text_;
    dump_file_ops* dump_ops_ = &dump_file_ops::system();
    // The last dump written, kept so that a snapshot copies only what changed; under the dump writer lock.
    tax_dump dump_;
    // How many of the first points dump_ holds as points_ holds them (or restored_points_, when set, which the
    // next snapshot takes over as dump_'s points); both under the state lock.
    size_t dump_synced_points_ = 0;
    std::optional<std::vector<location>> restored_points_;
};

} // namespace zel::gps
