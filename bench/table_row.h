#pragma once

#include <cstdio>

// One line of the table that bench/run_all.sh prints: a figure, its median,
// what it is compared with (a figure measured in the same run, or a limit)
// and the ratio of the two.
inline void tableRow(const char *figure, double medianMs, const char *comparison,
                     double comparedMs, const char *unit = "ms")
{
    std::printf("ROW|%s|%.2f %s|%s %.2f %s|%.2f\n", figure, medianMs, unit, comparison, comparedMs,
                unit, comparedMs > 0 ? medianMs / comparedMs : 0.0);
}

// A figure with nothing to compare it with.
inline void tableRow(const char *figure, double medianMs)
{
    std::printf("ROW|%s|%.2f ms|-|-\n", figure, medianMs);
}
