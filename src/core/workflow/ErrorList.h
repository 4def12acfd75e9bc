// Collects error lines and shows them as one error box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/workflow/MessageBoxes.h"
#include "core/workflow/PrintfFormat.h"

inline constexpr const char* errorCaption = "VELK Merge Program Error";

class ErrorList {
  public:
    void addLine(std::string text) { lines_.push_back(std::move(text)); }
    // printf-style; the line is as long as it needs to be.
    void addFormatted(const char* format, ...) VELKMERGE_PRINTF(2, 3);
    // Appends finalLine, shows all lines in one box unless there are none, and empties the list.
    void show(MessageBoxes& boxes, const std::optional<std::string>& finalLine = std::nullopt);

    [[nodiscard]] const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};
