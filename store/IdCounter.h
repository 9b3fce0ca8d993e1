// The store's id counters: one per kind, each id handed out once.
#pragma once

#include <cstdint>
#include <limits>

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

}  // namespace storeids
