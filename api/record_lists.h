// Walks over the store's lists of shared records, by a key field: the first match wins.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

namespace zel_api {

template <class Record, class Key>
std::shared_ptr<const Record> find_first(const std::vector<std::shared_ptr<const Record>>& list, const Key& key,
                                         Key Record::*field) {
    for (const auto& record : list) {
        if (record.get()->*field == key) {
            return record;
        }
    }
    return {};
}

// Removes the first record whose field equals key; true when one was removed.
template <class Record, class Key>
bool erase_first(std::vector<std::shared_ptr<const Record>>& list, const Key& key, Key Record::*field) {
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const auto& record) { return record.get()->*field == key; });
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

} // namespace zel_api
