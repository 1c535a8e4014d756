// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_pairs.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace teravine {
namespace {

// Points taken at a time by a worker: enough to keep the counter cold.
constexpr std::size_t kChunk = 32;
constexpr unsigned kMostWorkers = 16;

// find_k fills row_lo (1..4) when it accepts a point; -1 tells that it did not.
constexpr std::int16_t kNotLocated = -1;

Identification identify_one(Calibration& cal, LineMemo& memo, float ad, float eg) {
    Identification out;
    out.interp.row_lo = kNotLocated;
    out.iw_eg = eg;
    out.placed = identify_point(cal, memo, out.interp, ad, out.iw_eg);
    out.located = out.interp.row_lo != kNotLocated;
    if (!out.located) {
        out.interp = InterpRecord{};
    }
    return out;
}

} // namespace

std::vector<Identification> identify_pairs(const Calibration& cal, const LineTables& tables,
                                           std::span<const float> ad, std::span<const float> eg,
                                           unsigned workers) {
    const std::size_t count = std::min(ad.size(), eg.size());
    std::vector<Identification> results(count);
    if (workers == 0) {
        workers = std::max(1u, std::thread::hardware_concurrency());
    }
    const std::size_t chunks = (count + kChunk - 1) / kChunk;
    workers = static_cast<unsigned>(
        std::min<std::size_t>({workers, kMostWorkers, std::max<std::size_t>(chunks, 1)}));

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::mutex failure_lock;
    // Each worker mixes rows into the scratch row of its own copy of the tables, and keeps
    // the lines it has built in its own memo.
    const auto work = [&] {
        try {
            Calibration own = cal;
            LineMemo memo(tables);
            while (!stop.load(std::memory_order_relaxed)) {
                const std::size_t first = next.fetch_add(kChunk, std::memory_order_relaxed);
                if (first >= count) {
                    break;
                }
                const std::size_t last = std::min(first + kChunk, count);
                for (std::size_t i = first; i < last; ++i) {
                    results[i] = identify_one(own, memo, ad[i], eg[i]);
                }
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failure_lock);
            if (!failure) {
                failure = std::current_exception();
            }
            stop = true;
        }
    };

    std::vector<std::thread> helpers;
    for (unsigned w = 1; w < workers; ++w) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the others share the work
        }
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return results;
}

} // namespace teravine
