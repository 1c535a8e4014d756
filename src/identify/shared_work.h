// SPDX-License-Identifier: GPL-3.0-or-later
// Items 0..count - 1 shared out over the machine's cores in chunks. Each worker gets
// its own state from make_worker() (a memo of the lines it has built) and is called
// once for every item it takes. Items are independent, so the
// results do not depend on how many workers there were.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace teravine {

inline constexpr std::size_t kShareChunk = 32; // items taken at a time: keeps the counter cold
inline constexpr unsigned kMostWorkers = 16;

// workers 0 uses every core. A failure (an exception) in a worker stops the others
// and is rethrown here. Items costly each (a pattern measured) are taken one at a time,
// `chunk` 1, so that even a few are shared.
template <class MakeWorker>
void share_out(std::size_t count, unsigned workers, const MakeWorker& make_worker,
               std::size_t chunk = kShareChunk) {
    if (workers == 0) {
        workers = std::max(1u, std::thread::hardware_concurrency());
    }
    const std::size_t chunks = (count + chunk - 1) / chunk;
    workers = static_cast<unsigned>(
        std::min<std::size_t>({workers, kMostWorkers, std::max<std::size_t>(chunks, 1)}));

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::mutex failure_lock;
    const auto work = [&] {
        try {
            auto each = make_worker();
            while (!stop.load(std::memory_order_relaxed)) {
                const std::size_t first = next.fetch_add(chunk, std::memory_order_relaxed);
                if (first >= count) {
                    break;
                }
                const std::size_t last = std::min(first + chunk, count);
                for (std::size_t i = first; i < last; ++i) {
                    each(i);
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
}

} // namespace teravine
