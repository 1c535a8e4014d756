// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/band_threads.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace teravine {

namespace {

constexpr int kMostBands = 4;

} // namespace

int most_band_threads() {
    static const int most = static_cast<int>(
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(kMostBands)));
    return most;
}

void run_bands(int bands, const std::function<void(int band)>& draw_band) {
    std::exception_ptr failure;
    std::mutex failure_lock;
    const auto run = [&](int b) {
        try {
            draw_band(b);
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failure_lock);
            if (!failure) {
                failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    std::vector<int> left_over; // bands without a thread of their own
    for (int b = 1; b < bands; ++b) {
        try {
            threads.emplace_back(run, b);
        } catch (const std::system_error&) {
            left_over.push_back(b);
        }
    }
    run(0);
    for (const int b : left_over) {
        run(b);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace teravine
