// A progress display that shows nothing, for callers without a window.
#pragma once

#include "core/calldata/ProgressDisplay.h"

class NullProgressDisplay final : public ProgressDisplay {
  public:
    void setRange(std::size_t /*maximum*/) override {}
    void setPosition(std::size_t /*position*/) override {}
    void setLabel(const std::string& /*text*/) override {}
};
