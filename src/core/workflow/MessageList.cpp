// The status and query box collector.
#include "core/workflow/MessageList.h"

#include "core/workflow/FormatLine.h"

void MessageList::addLine(std::string text) {
    if (lines_.size() < maximumLines) {
        lines_.push_back(std::move(text));
    }
}

void MessageList::addFormatted(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    addLine(formatLine(format, arguments));
    va_end(arguments);
}

char MessageList::show(MessageBoxes& boxes, const std::optional<std::string>& finalLine, Kind kind) {
    if (finalLine) {
        lines_.push_back(*finalLine);
    }
    if (lines_.empty()) {
        return ' ';
    }
    const std::string text = joinLines(lines_);
    lines_.clear();
    const std::string caption = std::move(title);
    title.clear();
    if (kind == Kind::Query) {
        return boxes.askYesNo(caption.empty() ? queryCaption : caption, text) ? 'Y' : 'N';
    }
    boxes.showStatus(caption.empty() ? statusCaption : caption, text);
    return ' ';
}
