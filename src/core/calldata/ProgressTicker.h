// Advances a progress display about every hundredth of the way, so that reporting costs nothing.
#pragma once

#include <algorithm>
#include <cstddef>

#include "core/calldata/ProgressDisplay.h"

class ProgressTicker {
  public:
    ProgressTicker(ProgressDisplay& display, std::size_t total)
        : display_(display), total_(total), stride_(std::max<std::size_t>(1, total / 100)) {
        display_.setRange(total_);
        display_.setPosition(0);
    }

    void step() {
        ++done_;
        if (done_ % stride_ == 0 || done_ == total_) {
            display_.setPosition(done_);
        }
    }

  private:
    ProgressDisplay& display_;
    std::size_t total_;
    std::size_t stride_;
    std::size_t done_ = 0;
};
