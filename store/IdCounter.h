// The store's ids: one counter per kind, each id handed out once, and the
// check that loaded records of one kind do not share an id.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include "Records.h"

namespace storeids {

// A counter that has handed out the largest int32 holds this: it has no id
// left, since wrapping would give negative or repeated ids.
constexpr int32_t kUsedUp = 0;

// The counter after loading records whose highest id is `highest`: one more
// than the greater of 0 and that id, or used up when it is the largest int32.
inline int32_t NextId(int32_t highest) {
    if (highest == std::numeric_limits<int32_t>::max()) return kUsedUp;
    return highest > 0 ? highest + 1 : 1;
}

// Hands out the counter's id and advances the counter; false, changing
// nothing, once the counter is used up.
inline bool TakeId(int32_t& counter, int32_t& id) {
    if (counter <= kUsedUp) return false;
    id = counter;
    counter = NextId(counter);
    return true;
}

// The first id, in list order, that an earlier record of the list has too.
template <typename Record>
bool FindSharedId(const std::vector<Record>& records, int32_t& shared) {
    std::unordered_set<int32_t> seen;
    seen.reserve(records.size());
    for (const Record& r : records) {
        if (seen.insert(r.id).second) continue;
        shared = r.id;
        return true;
    }
    return false;
}

// Loaded records that share an id (ids out of the int32 range keep their low
// 32 bits, so distinct ids in a file may meet) would be shown, edited and
// saved as one: the text naming the first such kind, spaces, plants, then
// tasks, after that kind's prefix; empty when every id is its record's own.
inline WString SharedIdText(const std::vector<Space>& spaces, const std::vector<Plant>& plants,
                            const std::vector<Task>& tasks, const wchar_t* const (&prefixes)[3]) {
    static const wchar_t* const kKinds[] = {L"spaces", L"plants", L"tasks"};
    int32_t id = 0;
    const size_t kind = FindSharedId(spaces, id) ? 0 : FindSharedId(plants, id) ? 1 : FindSharedId(tasks, id) ? 2 : 3;
    if (kind == 3) return WString();
    return WString(prefixes[kind]) + L"two " + kKinds[kind] + L" have the id " + std::to_wstring(id);
}

}  // namespace storeids
