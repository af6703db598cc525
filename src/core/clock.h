#pragma once

#include "tdatetime.h"

// The one source of "now". Tests fix it; production reads the local system time.
namespace Clock {
TDateTime now();
TDateTime today(); // now() at midnight
TDateTime timeOfDay(); // now() without its date
void setFixed(TDateTime fixed);
// Moves a fixed clock on; no effect while the clock follows the system time.
void advance(double days);
void reset();
bool isFixed();
} // namespace Clock
