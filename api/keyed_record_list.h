// A list of shared records in arrival order with an index from each record's key to its place, for the store's
// lists that merge by a key: finding, replacing and appending cost a hash lookup instead of a walk of the list.
// It owns the list and the index; the keys are unique (a record with a held key replaces the held one at its
// place). Records are immutable once shared: a replacement is a new record put at the old one's place, so a
// copy of the list taken earlier keeps the old records. No lock of its own: the store's lock guards it.
//
// Index, as each change keeps it:
//   put a new key      -> appended; its place indexed
//   put a held key     -> the record at that place replaced; the index unchanged
//   erase keys         -> the records removed, the others keep their order; the places from the first removed
//                         one on indexed again
//   clear              -> list and index empty
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zel_api {

template <class Record, class Key, Key Record::*Field> class keyed_record_list {
public:
    using record_ptr = std::shared_ptr<const Record>;
    using list_type = std::vector<record_ptr>;

    // The records in arrival order.
    const list_type& records() const {
        return records_;
    }
    bool empty() const {
        return records_.empty();
    }
    size_t size() const {
        return records_.size();
    }
    // The record added last; the list must not be empty.
    const record_ptr& back() const {
        return records_.back();
    }

    // The record with the key, or empty.
    record_ptr find(const Key& key) const {
        const auto it = places_.find(key);
        return it == places_.end() ? nullptr : records_[it->second];
    }

    // Appends the record (true), or, when its key is held, hands the held record to update, which returns its
    // successor, and puts that at the held one's place (false).
    template <class Update> bool put(record_ptr fresh, Update&& update) {
        const Key& key = (*fresh).*Field;
        const auto [it, added] = places_.try_emplace(key, records_.size());
        if (!added) {
            records_[it->second] = update(records_[it->second]);
            return false;
        }
        records_.push_back(std::move(fresh));
        return true;
    }

    // Removes the record with the key; true when one was held.
    bool erase(const Key& key) {
        const auto it = places_.find(key);
        if (it == places_.end()) {
            return false;
        }
        const size_t place = it->second;
        places_.erase(it);
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(place));
        reindex_from(place);
        return true;
    }

    // Removes every record whose key is among the keys; the list is walked once, from the first removed place.
    void erase(const std::vector<Key>& keys) {
        std::vector<size_t> gone;
        for (const Key& key : keys) {
            if (const auto it = places_.find(key); it != places_.end()) {
                gone.push_back(it->second);
                places_.erase(it);
            }
        }
        if (gone.empty()) {
            return;
        }
        std::sort(gone.begin(), gone.end());
        size_t kept = gone.front();
        size_t next_gone = 0;
        for (size_t n = gone.front(); n < records_.size(); ++n) {
            if (next_gone < gone.size() && gone[next_gone] == n) {
                ++next_gone;
                continue;
            }
            records_[kept++] = std::move(records_[n]);
        }
        records_.resize(kept);
        reindex_from(gone.front());
    }

    void clear() {
        records_.clear();
        places_.clear();
    }

private:
    void reindex_from(size_t place) {
        for (size_t n = place; n < records_.size(); ++n) {
            places_[(*records_[n]).*Field] = n;
        }
    }

    list_type records_;
    std::unordered_map<Key, size_t> places_;
};

} // namespace zel_api
