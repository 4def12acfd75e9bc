// Printing message boxes line by line.
#include "cli/CliMessageBoxes.h"

namespace {

void printLines(const std::string& text, std::ostream* stream, std::vector<std::string>& kept) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t lineFeed = text.find('\n', start);
        kept.push_back(
            text.substr(start, lineFeed == std::string::npos ? std::string::npos : lineFeed - start));
        if (stream != nullptr) {
            *stream << kept.back() << '\n';
        }
        if (lineFeed == std::string::npos) {
            break;
        }
        start = lineFeed + 1;
    }
    if (stream != nullptr) {
        stream->flush();
    }
}

}  // namespace

void CliMessageBoxes::showError(const std::string& /*caption*/, const std::string& text) {
    printLines(text, &errors_, errorLines_);
}

void CliMessageBoxes::showStatus(const std::string& /*caption*/, const std::string& text) {
    printLines(text, status_, statusLines_);
}

bool CliMessageBoxes::askYesNo(const std::string& /*caption*/, const std::string& text) {
    errors_ << text << " (answered No)\n";
    return false;
}
