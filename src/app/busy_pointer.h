// SPDX-License-Identifier: GPL-3.0-or-later
// The busy pointer over the window while a step over many samples runs.
#pragma once

#include "app/window_services.h"

#include <cstddef>

namespace teravine {

class BusyPointer {
public:
    // A redraw with every grid and identical line costs some 15 µs a sample on a 2-core
    // 2 GHz machine, a treatment or a re-identification less, so a step over fewer samples
    // than this ends within 30 ms here and within about 150 ms on a machine five times
    // slower: it leaves the pointer alone rather than make it flicker.
    static constexpr std::size_t kFromSamples = 2000;

    BusyPointer(WindowServices& services, std::size_t samples)
        : services_(samples >= kFromSamples ? &services : nullptr) {
        if (services_ != nullptr) {
            services_->set_busy(true);
        }
    }
    ~BusyPointer() {
        if (services_ != nullptr) {
            services_->set_busy(false);
        }
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    WindowServices* services_;
};

} // namespace teravine
