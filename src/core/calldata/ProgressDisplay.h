// Where reading and comparing report how far they are: a bar and its label.
#pragma once

#include <cstddef>
#include <string>

class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    virtual void setRange(std::size_t maximum) = 0;
    virtual void setPosition(std::size_t position) = 0;
    virtual void setLabel(const std::string& text) = 0;
};
