// Sections: lifecycle and tariff; the per-location step and thinning; downtime and pauses; figures for the
// screens; the dump; the export. The cost model is in taximeter_cost_model.cpp.
#include "gps/taximeter/taximeter.h"

#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/geo_distance.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter_time.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <optional>

namespace zel::gps {

namespace {

using guard = std::lock_guard<std::recursive_mutex>;

// "tax_dump.bin" is one file for the whole process, whichever taximeter writes it. Writers take turns on
// the writer lock, which they alone take and hold across the file work (the flush may take long on flash
// memory). The flags' lock is held only for a moment, by writers around a write and by stop and the reader.
struct dump_coordination {
    std::mutex writer;
    std::mutex flags;
    bool writing = false;            // a writer is between its snapshot and the end of its file work
    bool remove_after_write = false; // a stop came during that write: the file it leaves is stale
};

dump_coordination& dump_files() {
    static dump_coordination files;
    return files;
}

int32_t clamp_to_int32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    if (value >= std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

} // namespace

// ---- Lifecycle and tariff ----

taximeter* taximeter::self() {
    return this;
}

void taximeter::set_tariff(const tariff_interface* tariff) {
    if (tariff == nullptr) {
        return;
    }
    std::shared_ptr<const tariff_interface> copy = tariff->clone();
    guard state(state_lock_);
    tariff_ = std::move(copy);
}

void taximeter::set_tariff_strings(const std::wstring& tariff_id, const std::wstring& tariff_text) {
    guard state(state_lock_);
    tariff_id_ = tariff_id;
    tariff_text_ = tariff_text;
}

bool taximeter::tariff_values::operator==(const tariff_values& other) const {
    auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    return bits(base_price) == bits(other.base_price) && bits(included_distance) == bits(other.included_distance) &&
           bits(included_time) == bits(other.included_time) && bits(price_per_km) == bits(other.price_per_km) &&
           bits(price_per_minute) == bits(other.price_per_minute) &&
           bits(downtime_price) == bits(other.downtime_price) && speed_limit == other.speed_limit &&
           bits(time_cost_cap) == bits(other.time_cost_cap);
}

taximeter::tariff_values taximeter::tariff_now() const {
    guard state(state_lock_);
    tariff_values values;
    if (tariff_) {
        values.base_price = tariff_->base_price();
        values.included_distance = tariff_->included_distance();
        values.included_time = tariff_->included_time();
        values.price_per_km = tariff_->price_per_km();
        values.price_per_minute = tariff_->price_per_minute();
        values.downtime_price = tariff_->downtime_price();
        values.speed_limit = tariff_->speed_limit();
        values.time_cost_cap = tariff_->time_cost_cap();
    }
    return values;
}

void taximeter::start(const std::wstring& order_id) {
    guard state(state_lock_);
    if (running_) {
        if (order_id == order_id_) {
            return;
        }
        start_time_ = now_ms();
        reset();
        order_id_ = order_id;
        running_ = true;
        return;
    }
    start_time_ = now_ms();
    read_dump(order_id);
    if (order_id_ != order_id) {
        reset();
        order_id_ = order_id;
    }
    running_ = true;
}

void taximeter::stop() {
    {
        guard state(state_lock_);
        running_ = false;
        reset();
    }
    // Never waits for a write under way (the store calls this under its own lock): that write deletes the
    // file when it is done, and one that starts later finds the taximeter stopped and writes nothing.
    dump_coordination& files = dump_files();
    std::lock_guard flags(files.flags);
    if (files.writing) {
        files.remove_after_write = true;
    }
    dump_file::remove();
}

void taximeter::set_dump_file_ops(dump_file_ops& ops) {
    guard state(state_lock_);
    dump_ops_ = &ops;
}

void taximeter::reset() {
    guard state(state_lock_);
    distance_ = 0.0;
    charged_seconds_ = 0.0;
    accumulated_charged_seconds_ = 0.0;
    charged_distance_ = 0.0;
    distance_cost_ = 0.0;
    time_cost_ = 0.0;
    total_cost_ = 0.0;
    downtime_begin_ = 0;
    pause_begin_ = 0;
    last_point_time_ = 0;
    downtime_open_ = false;
    pause_open_ = false;
    running_ = false;
    paid_downtime_seconds_ = 0;
    last_dump_time_ = 0;
    downtime_start_point_ = taximeter_point();
    sums_.clear();
    dump_synced_points_ = 0;
    restored_points_.reset();
    {
        guard points(points_lock_);
        points_.clear();
    }
    {
        guard downtime(downtime_lock_);
        downtime_.clear();
    }
    guard pauses(pause_lock_);
    pauses_.clear();
}

// ---- The per-location step ----

void taximeter::on_location(const location& fix) {
    taximeter_point point;
    static_cast<location&>(point) = fix;
    bool dump_due = false;
    {
        guard state(state_lock_);
        if (!running_) {
            return;
        }
        if (!location_is_finite(fix)) {
            log(logger::warning, L"taximeter: location dropped, not a number: latitude " +
                                     std::to_wstring(fix.latitude) + L" longitude " +
                                     std::to_wstring(fix.longitude) + L" speed " + std::to_wstring(fix.speed) +
                                     L" accuracy " + std::to_wstring(fix.accuracy));
        } else if (!location_in_range(fix)) {
            log(logger::warning, L"taximeter: location dropped, no place on the earth: latitude " +
                                     std::to_wstring(fix.latitude) + L" longitude " + std::to_wstring(fix.longitude));
        }
        // 5001, not 5000: with whole-second readings the dump is written every sixth second. A clock set back
        // before the last write counts as due, or the ride would go unsaved until the clock caught up.
        const uint64_t now = now_ms();
        if (now < last_dump_time_ || now - last_dump_time_ >= 5001) {
            dump_due = true;
            last_dump_time_ = now;
        }
    }
    // Written outside the state lock: the screens' reads do not wait for the disk.
    if (dump_due) {
        write_dump();
    }

    guard state(state_lock_);
    if (!running_) {
        return;
    }
    const uint64_t now = now_ms();
    const tariff_values tariff = tariff_now();
    if (downtime_open_) {
        extend_open_downtime(now);
    }
    // Before the point is added: the costs lag one location behind the distance, as designed.
    total_cost_ = compute_costs(tariff, now);
    if (point_is_valid(point)) {
        append_point(point);
        if (downtime_open_ && !point_is_valid(downtime_start_point_)) {
            downtime_start_point_ = point;
        }
        // 20 km/h is fixed, not the tariff's speed limit.
        if (downtime_open_ && (point.speed > 20.0f || geo_distance(downtime_start_point_, point) > 300.0)) {
            end_downtime();
        }
    }
    accumulate(tariff);
    last_point_time_ = now;
}

void taximeter::append_point(const taximeter_point& point) {
    guard points(points_lock_);
    if (!points_.empty()) {
        const taximeter_point& last = points_.back();
        if (same_position(point, last) || is_jump(point, last) || is_near(point, last)) {
            return;
        }
    }
    points_.push_back(point);
    while (points_.size() >= 3) {
        const size_t n = points_.size();
        if (!is_detour(points_[n - 1], points_[n - 2], points_[n - 3])) {
            break;
        }
        points_.erase(points_.end() - 2);
        // The kept point after it now ends a stretch that starts elsewhere.
        sums_.resize(std::min(sums_.size(), n - 2));
        dump_synced_points_ = std::min(dump_synced_points_, n - 2);
    }
}

double taximeter::cached_distance(taximeter_point& a, const taximeter_point& b) const {
    if (a.next_distance < 0.0 || a.next_latitude != b.latitude || a.next_longitude != b.longitude) {
        a.next_distance = geo_distance(a, b);
        a.next_latitude = b.latitude;
        a.next_longitude = b.longitude;
    }
    return a.next_distance;
}

bool taximeter::same_position(const taximeter_point& a, const taximeter_point& b) const {
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

bool taximeter::is_near(const taximeter_point& a, const taximeter_point& b) const {
    return geo_distance(a, b) < 5.0;
}

bool taximeter::is_jump(const taximeter_point& a, const taximeter_point& b) const {
    const double metres = geo_distance(a, b);
    const double ms = point_ms_apart(a, b);
    if (ms == 0.0) {
        return metres > 0.0; // an infinite speed
    }
    return metres / ms > 40.0;
}

bool taximeter::is_detour(const taximeter_point& last, const taximeter_point& middle,
                          const taximeter_point& first) const {
    if (point_ms_apart(last, middle) > 40.0) {
        return false;
    }
    auto square = [](const taximeter_point& a, const taximeter_point& b) {
        const double lon = a.longitude - b.longitude;
        const double lat = a.latitude - b.latitude;
        return lon * lon + lat * lat;
    };
    return square(last, middle) < square(last, first) + square(first, middle);
}

std::vector<taximeter_point> taximeter::points() const {
    guard state(state_lock_);
    guard points(points_lock_);
    return {points_.begin(), points_.end()};
}

// ---- Downtime and pauses ----

void taximeter::extend_open_downtime(uint64_t now) {
    guard downtime(downtime_lock_);
    if (!downtime_.empty()) {
        // Never before its begin: a clock set back must not make an interval end before it starts.
        const uint64_t old_end = downtime_.back().end;
        downtime_.back().end = std::max(downtime_.back().begin, now);
        if (downtime_.back().end != old_end) {
            forget_sums_after(std::min(old_end, downtime_.back().end));
        }
    }
}

void taximeter::begin_downtime() {
    guard state(state_lock_);
    const uint64_t now = now_ms();
    downtime_open_ = true;
    downtime_begin_ = now;
    guard downtime(downtime_lock_);
    downtime_.push_back({now, now});
}

void taximeter::end_downtime() {
    guard state(state_lock_);
    // Only an open downtime is dropped: an end repeated soon after a short one removed the interval before
    // it, a paid one.
    const bool was_open = downtime_open_;
    downtime_open_ = false;
    if (was_open && ms_since(downtime_begin_, now_ms()) < 120000) {
        guard downtime(downtime_lock_);
        if (!downtime_.empty()) {
            forget_sums_after(std::min(downtime_.back().begin, downtime_.back().end));
            downtime_.pop_back();
        }
    }
    downtime_start_point_ = taximeter_point();
}

bool taximeter::in_downtime() const {
    guard state(state_lock_);
    return downtime_open_;
}

void taximeter::set_pause(int32_t value) {
    guard state(state_lock_);
    const uint64_t now = now_ms();
    if (value == 1) {
        if (!pause_open_) {
            pause_open_ = true;
            pause_begin_ = now;
        }
        return;
    }
    // Only an open pause is closed: a close without an open would otherwise pause the ride from 1970 (or from
    // the last pause's begin) and take all that time out of the charged time.
    if (!pause_open_) {
        return;
    }
    pause_open_ = false;
    guard pauses(pause_lock_);
    pauses_.push_back({pause_begin_, std::max(pause_begin_, now)});
    forget_sums_after(pause_begin_);
}

uint64_t taximeter::downtime_seconds() const {
    guard state(state_lock_);
    if (downtime_open_) {
        return open_downtime_seconds();
    }
    guard downtime(downtime_lock_);
    uint64_t total_ms = 0;
    for (const time_interval& interval : downtime_) {
        total_ms += ms_since(interval.begin, interval.end);
    }
    return total_ms / 1000;
}

uint32_t taximeter::open_downtime_seconds() const {
    guard state(state_lock_);
    if (!downtime_open_) {
        return 0;
    }
    const uint64_t now = now_ms();
    const float included_time = tariff_now().included_time;
    if (!(included_time > 0.0f)) {
        return static_cast<uint32_t>(ms_since(downtime_begin_, now) / 1000);
    }
    const uint64_t since_start = ms_since(start_time_, now) / 1000;
    const uint64_t begin_since_start = ms_since(start_time_, downtime_begin_) / 1000;
    if (static_cast<double>(since_start) > included_time * 60.0 && since_start > begin_since_start) {
        return static_cast<uint32_t>(since_start - begin_since_start);
    }
    return 0;
}

namespace {

// Whole minutes from which the open downtime is paid: the included minutes left when it began.
int64_t paid_threshold_minutes(float included_time, uint64_t start_time, uint64_t downtime_begin) {
    if (!(included_time > 0.0f)) {
        return 0;
    }
    // Minutes from the downtime's begin back to the start, truncated toward zero.
    const double minutes = start_time >= downtime_begin ? static_cast<double>((start_time - downtime_begin) / 60000)
                                                        : -static_cast<double>((downtime_begin - start_time) / 60000);
    return static_cast<int64_t>(std::clamp(minutes + included_time, -1e15, 1e15));
}

} // namespace

std::pair<int32_t, int32_t> taximeter::downtime_window() const {
    guard state(state_lock_);
    const int64_t minutes = paid_threshold_minutes(tariff_now().included_time, start_time_, downtime_begin_);
    const int32_t threshold = minutes > 1 ? clamp_to_int32(static_cast<double>(minutes) * 60000.0) : 120000;
    return {clamp_to_int32(static_cast<double>(ms_since(downtime_begin_, now_ms()))), threshold};
}

bool taximeter::downtime_due() const {
    guard state(state_lock_);
    const int64_t minutes = paid_threshold_minutes(tariff_now().included_time, start_time_, downtime_begin_);
    const uint64_t elapsed_minutes = ms_since(downtime_begin_, now_ms()) / 1000 / 60;
    return static_cast<int64_t>(elapsed_minutes) >= std::max<int64_t>(minutes, 2);
}

// ---- Figures for the screens ----

float taximeter::cost_total() const {
    guard state(state_lock_);
    return static_cast<float>(total_cost_);
}

float taximeter::cost_distance() const {
    guard state(state_lock_);
    return static_cast<float>(distance_cost_);
}

float taximeter::cost_time() const {
    guard state(state_lock_);
    return static_cast<float>(time_cost_);
}

float taximeter::cost_downtime() const {
    guard state(state_lock_);
    return downtime_cost(paid_downtime_seconds_, tariff_now().downtime_price);
}

float taximeter::base_price() const {
    return tariff_now().base_price;
}

std::wstring taximeter::order_id() const {
    guard state(state_lock_);
    return order_id_;
}

bool taximeter::is_running() const {
    guard state(state_lock_);
    return running_;
}

bool taximeter::has_tariff() const {
    guard state(state_lock_);
    return tariff_ != nullptr;
}

uint64_t taximeter::charged_distance() const {
    guard state(state_lock_);
    return whole_saturated(charged_distance_);
}

uint64_t taximeter::zero() const {
    return 0;
}

float taximeter::distance() const {
    guard state(state_lock_);
    return static_cast<float>(distance_);
}

uint64_t taximeter::elapsed_seconds() const {
    return seconds_since_start();
}

uint64_t taximeter::seconds_since_start() const {
    guard state(state_lock_);
    return ms_since(start_time_, now_ms()) / 1000;
}

double taximeter::recompute() {
    guard state(state_lock_);
    const uint64_t now = now_ms();
    const tariff_values tariff = tariff_now();
    accumulate(tariff);
    if (downtime_open_) {
        extend_open_downtime(now);
    }
    total_cost_ = compute_costs(tariff, now);
    return total_cost_;
}

// ---- The dump ----

bool taximeter::write_dump() {
    dump_coordination& files = dump_files();
    std::lock_guard writer(files.writer);
    {
        std::lock_guard flags(files.flags);
        files.writing = true; // before the snapshot: a stop that finds it clear has stopped the ride already
    }
    dump_file_ops* ops = nullptr;
    size_t unchanged = 0;
    std::vector<location> added;
    std::vector<location> discarded; // an earlier ride's points, freed outside the lock
    {
        // The snapshot copies only the points added or moved since the last one, so the screens' reads wait
        // for a few points, never for the whole ride.
        guard state(state_lock_);
        if (running_) {
            ops = dump_ops_;
            dump_.order_id = wide_to_utf16(order_id_);
            dump_.start_time = start_time_;
            if (restored_points_) {
                discarded = std::move(dump_.points);
                dump_.points = std::move(*restored_points_);
                restored_points_.reset();
            }
            guard points(points_lock_);
            unchanged = std::min(dump_synced_points_, dump_.points.size());
            added.assign(points_.begin() + static_cast<std::ptrdiff_t>(unchanged), points_.end());
            dump_synced_points_ = points_.size();
            guard downtime(downtime_lock_);
            dump_.downtime = downtime_;
        }
    }
    dump_.points.resize(unchanged);
    dump_.points.insert(dump_.points.end(), added.begin(), added.end());
    // Encoded and written under no lock but the writers' own.
    const bool written = ops != nullptr && dump_file::write(dump_.encode(), *ops);
    std::lock_guard flags(files.flags);
    files.writing = false;
    if (files.remove_after_write) {
        files.remove_after_write = false;
        dump_file::remove();
        return false;
    }
    return written;
}

bool taximeter::read_dump(const std::wstring& order_id) {
    {
        dump_coordination& files = dump_files();
        std::lock_guard flags(files.flags);
        if (files.remove_after_write) {
            return false; // the file of a stopped ride, which the write under way deletes
        }
    }
    const std::optional<std::string> bytes = dump_file::read(tax_dump::max_size);
    if (!bytes) {
        return false;
    }
    std::string error;
    std::optional<tax_dump> dump = tax_dump::decode(*bytes, &error);
    if (!dump) {
        log(logger::error, L"tax_dump.bin ignored: " + utf8_to_wide(error));
        return false;
    }
    if (dump->order_id != wide_to_utf16(order_id)) {
        return false;
    }
    std::deque<taximeter_point> points;
    for (const location& saved : dump->points) {
        taximeter_point point;
        static_cast<location&>(point) = saved;
        points.push_back(point);
    }
    for (time_interval& interval : dump->downtime) {
        // Dumps written before intervals were clamped may hold one that ends before it begins.
        interval.end = std::max(interval.begin, interval.end);
    }

    guard state(state_lock_);
    order_id_ = order_id;
    start_time_ = dump->start_time;
    // Without this the cost computation would take the restored ride for one without any location and
    // charge all its time on top of the distance already charged.
    last_point_time_ = points.empty() ? 0 : points.back().delivery_time;
    sums_.clear();
    // The points as read are the next dump's points: its snapshot takes them over instead of copying the
    // whole ride under this lock.
    dump_synced_points_ = points.size();
    restored_points_ = std::move(dump->points);
    {
        guard points_guard(points_lock_);
        points_ = std::move(points);
    }
    guard downtime(downtime_lock_);
    downtime_ = std::move(dump->downtime);
    return true;
}

// ---- The export ----

namespace {

tax_data_sample sample_at(const taximeter_point& point, uint16_t state) {
    return {static_cast<int64_t>(point.time_since_start), clamp_to_int32(point.distance_at_point), state,
            point.time_cost_at_point, point.distance_cost_at_point};
}

uint32_t whole_speed(float speed) {
    return static_cast<uint32_t>(whole_saturated(speed) & 0xFF);
}

} // namespace

void taximeter::export_trip(trip_export& out) {
    out = trip_export();
    guard state(state_lock_);
    const uint64_t now = now_ms();
    guard points(points_lock_);
    out.order_track.order_id = order_id_;
    for (const taximeter_point& point : points_) {
        out.order_track.add_item({point.latitude, point.longitude, whole_speed(point.speed), point.delivery_time});
    }

    tax_data_record& record = out.tax_data;
    record.order_id = order_id_;
    record.tariff_id = tariff_id_;
    record.cost_idle = downtime_cost(paid_downtime_seconds_, tariff_now().downtime_price);
    record.add_sample({});
    struct flags {
        uint8_t split = 0, cap_reached = 0, inclusion_used = 0;
        bool operator==(const flags&) const = default;
    };
    flags remembered;
    std::optional<tax_data_sample> pending;
    for (size_t i = 0; i < points_.size(); ++i) {
        const taximeter_point& point = points_[i];
        const flags now_flags{point.split, point.cap_reached, point.inclusion_used};
        if (i == 0) {
            if (point.distance_at_point != 0.0f && point.time_since_start != 0) {
                const uint16_t state_bits =
                    (point.split ? 0x20 : 0) | (point.cap_reached ? 0x80 : 0) | (point.inclusion_used ? 0x01 : 0);
                record.add_sample(sample_at(point, state_bits));
            }
            remembered = now_flags;
        } else if (now_flags == remembered) {
            pending = sample_at(point, 0);
        } else {
            uint16_t state_bits = 0;
            if (now_flags.split != remembered.split) {
                state_bits |= now_flags.split ? 0x20 : 0x40;
            }
            if (now_flags.cap_reached != remembered.cap_reached) {
                state_bits |= 0x80;
            }
            if (now_flags.inclusion_used != remembered.inclusion_used) {
                state_bits |= 0x01;
            }
            record.add_sample(sample_at(point, state_bits));
            pending.reset();
            remembered = now_flags;
        }
    }
    if (pending) {
        record.add_sample(*pending);
    }
    record.add_sample({static_cast<int64_t>(ms_since(start_time_, now)), clamp_to_int32(distance_), 0,
                       static_cast<float>(time_cost_), static_cast<float>(distance_cost_)});
    guard downtime(downtime_lock_);
    for (const time_interval& interval : downtime_) {
        record.add_sample({static_cast<int64_t>(ms_since(start_time_, interval.begin)), -1, 2, -1.0f, -1.0f});
        record.add_sample({static_cast<int64_t>(ms_since(start_time_, interval.end)), -1, 4, -1.0f, -1.0f});
    }
}

} // namespace zel::gps
