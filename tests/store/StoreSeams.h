// Scripts for the store's platform calls in the seam test program (see
// StoreSeams.cpp): a fixed clock, a fixed login name, injected failures.
#pragma once

#include <string>
#include <vector>

#include "Records.h"

namespace seams {

enum class Fault { None, OutOfMemory, Foreign };

// Every timestamp reads `text` from now on, after any queued texts.
void SetClock(const std::string& text);
void QueueClock(const std::vector<std::string>& texts);
// Every timestamp reading throws: std::bad_alloc, or an int (no std::exception).
void FailClock(Fault fault);
int ClockReadings();
void SetUserName(const WString& name);
// Converting a text that begins with `marker` gives malformed UTF-8.
void BreakUtf8For(const WString& marker);
// Back to the real platform.
void Reset();

}  // namespace seams
