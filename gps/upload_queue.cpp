#include "gps/upload_queue.h"

#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <algorithm>
#include <set>

namespace zel::gps {

upload_queue::upload_queue(std::filesystem::path folder, std::wstring what)
    : folder_(std::move(folder)), what_(std::move(what)) {}

std::vector<listed_file> upload_queue::order(const std::vector<listed_file>& files) {
    std::set<std::string> present;
    for (const listed_file& file : files) {
        present.insert(file.name);
    }
    std::erase_if(entries_, [&](const auto& item) { return !present.contains(item.first); });
    std::vector<listed_file> ordered = files;
    const auto failed_at = [this](const listed_file& file) {
        const auto it = entries_.find(file.name);
        return it == entries_.end() ? 0 : it->second.failed_at;
    };
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const listed_file& a, const listed_file& b) { return failed_at(a) < failed_at(b); });
    return ordered;
}

bool upload_queue::empty_expired(const listed_file& file) {
    entry& e = entries_[file.name];
    const int64_t now = now_seconds();
    if (e.empty_since < 0 || e.empty_since > now) {
        e.empty_since = now;
    }
    return now - e.empty_since >= empty_grace_seconds;
}

bool upload_queue::settle(const listed_file& file, bool posted, long status) {
    if (posted) {
        entries_.erase(file.name);
        return true;
    }
    entry& e = entries_[file.name];
    e.failed_at = ++failures_;
    if (status >= 400 && status <= 499 && ++e.refusals >= refusals_before_rejecting) {
        set_aside(file,
                  L"refused " + std::to_wstring(e.refusals) + L" times, last with status " + std::to_wstring(status));
    }
    return false;
}

bool upload_queue::set_aside(const listed_file& file, const std::wstring& why) {
    entries_.erase(file.name);
    const std::filesystem::path rejected = folder_ / "rejected";
    std::error_code error;
    std::filesystem::create_directories(rejected, error);
    std::filesystem::path target = rejected / file.name;
    for (int n = 1; std::filesystem::exists(target, error) && n < 1000; ++n) {
        target = rejected / (file.name + "." + std::to_string(n));
    }
    std::filesystem::rename(file.path, target, error);
    if (error) {
        zel::log(logger::error, what_ + L" upload: cannot move " + utf8_to_wide(file.name) + L" aside (" + why +
                                    L"): " + utf8_to_wide(error.message()));
        return false;
    }
    zel::log(logger::warning, what_ + L" upload: " + utf8_to_wide(file.name) + L" moved to " +
                                  utf8_to_wide(target.string()) + L": " + why);
    return true;
}

void upload_queue::remove(const listed_file& file) {
    entries_.erase(file.name);
    std::error_code error;
    std::filesystem::remove(file.path, error);
}

} // namespace zel::gps
