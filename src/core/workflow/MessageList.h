// Collects status lines, or a question, and shows them as one box.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/workflow/ErrorList.h"
#include "core/workflow/MessageBoxes.h"

inline constexpr const char* statusCaption = "VELK Merge Status";
inline constexpr const char* queryCaption = "VELK Merge Query.";

class MessageList {
  public:
    enum class Kind { Status = 0, Query = 1 };
    static constexpr std::size_t maximumLines = 20;

    // The caption of the next box; empty means the kind's own caption.
    std::string title;

    // Lines beyond the twentieth are dropped.
    void addLine(std::string text);
    void addFormatted(const char* format, ...) VELKMERGE_PRINTF(2, 3);
    // Shows the lines (finalLine is added past the limit) and empties the list and the title.
    // Returns 'Y' or 'N' for a query, ' ' otherwise, and ' ' when there was nothing to show.
    char show(MessageBoxes& boxes, const std::optional<std::string>& finalLine = std::nullopt,
              Kind kind = Kind::Status);

    [[nodiscard]] const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};
