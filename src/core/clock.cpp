#include "clock.h"

#include <atomic>

namespace {
// Read from the synchronisation thread too, hence atomic.
std::atomic<bool> g_fixed{false};
std::atomic<double> g_fixedValue{0.0};
} // namespace

namespace Clock {

TDateTime now()
{
    if (g_fixed.load())
        return TDateTime(g_fixedValue.load());
    return TDateTime::fromQDateTime(QDateTime::currentDateTime());
}

TDateTime today() { return now().datePart(); }

TDateTime timeOfDay() { return now().timePart(); }

void setFixed(TDateTime fixed)
{
    g_fixedValue.store(fixed.value());
    g_fixed.store(true);
}

void advance(double days)
{
    if (g_fixed.load())
        g_fixedValue.store(g_fixedValue.load() + days);
}

void reset() { g_fixed.store(false); }

bool isFixed() { return g_fixed.load(); }

} // namespace Clock
