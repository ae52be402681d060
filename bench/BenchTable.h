#pragma once

// Interleaved timing of ours against a yardstick and the table they print.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace Bench {

inline double Seconds()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Stats {
    double median, min, max;
};

inline Stats Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return Stats{v[v.size() / 2], v.front(), v.back()};
}

// Runs ours and the yardstick alternately `runs` times each; the ratio is
// yardstick / ours of the medians, so above 1 means ours is faster.
inline void Row(const char* label, int runs, const std::function<void()>& ours, const std::function<void()>& yardstick)
{
    std::vector<double> a, b;
    ours();
    yardstick();
    for (int i = 0; i < runs; ++i) {
        double t0 = Seconds();
        ours();
        double t1 = Seconds();
        yardstick();
        double t2 = Seconds();
        a.push_back(t1 - t0);
        b.push_back(t2 - t1);
    }
    Stats o = Summarise(a), y = Summarise(b);
    std::printf("%-22s %9.3f %9.3f %9.3f | %9.3f %9.3f %9.3f | %6.2fx\n", label, o.median * 1e3, o.min * 1e3,
                o.max * 1e3, y.median * 1e3, y.min * 1e3, y.max * 1e3, y.median / o.median);
    std::fflush(stdout);
}

inline void Header(const char* title, const char* ours, const char* yardstick)
{
    std::printf("%s\n%-22s %-29s | %-29s | ratio\n", title, "", ours, yardstick);
    std::printf("%-22s %9s %9s %9s | %9s %9s %9s | (yardstick/ours)\n", "case", "median ms", "min", "max",
                "median ms", "min", "max");
}

}  // namespace Bench
