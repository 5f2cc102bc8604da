#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

/// Median wall time of @p work over @p repetitions runs, in milliseconds; @p prepare runs untimed before each.
/// The median, not the mean: one run slowed by the rest of the machine says nothing of the code.
inline double medianMs(int repetitions, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(std::max(repetitions, 1)));
    for (int i = 0; i < std::max(repetitions, 1); ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
    return times[times.size() / 2];
}
