// The error box collector.
#include "core/workflow/ErrorList.h"

#include "core/workflow/FormatLine.h"

void ErrorList::addFormatted(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    addLine(formatLine(format, arguments));
    va_end(arguments);
}

void ErrorList::show(MessageBoxes& boxes, const std::optional<std::string>& finalLine) {
    if (finalLine) {
        lines_.push_back(*finalLine);
    }
    if (lines_.empty()) {
        return;
    }
    const std::string text = joinLines(lines_);
    lines_.clear();
    boxes.showError(errorCaption, text);
}
