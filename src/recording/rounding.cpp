#include "recording/rounding.h"

#include <algorithm>
#include <cmath>

double rundeAufHundertstel(double wert) {
    const double skaliert = wert * 100.0;
    const double unten = std::floor(skaliert);
    const double rest = skaliert - unten;
    // A decimal half such as 10.125 seldom survives binary scaling exactly; treat a near-half as the half it meant.
    constexpr double toleranz = 1e-9;
    double ganz;
    if (std::fabs(rest - 0.5) <= toleranz * std::max(1.0, std::fabs(skaliert)))
        ganz = std::fmod(unten, 2.0) == 0.0 ? unten : unten + 1.0;
    else
        ganz = std::round(skaliert);
    return ganz / 100.0;
}
