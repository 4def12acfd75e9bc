// Loading a file's text into memory.
#include "core/calldata/FileText.h"

#include <algorithm>
#include <new>

FileText::FileText(std::string_view bytes)
    : read_{allocateText(bytes.size()), bytes.size(), {}}, hasFile_(false) {
    if (!read_.data) {
        throw std::bad_alloc();
    }
    std::copy(bytes.begin(), bytes.end(), read_.data.get());
}

std::shared_ptr<const FileText> FileText::load(const std::filesystem::path& path, std::error_code& error) {
    std::optional<FileBytes> bytes = readRegularFile(path, error);
    if (!bytes) {
        return nullptr;
    }
    return std::make_shared<const FileText>(std::move(*bytes));
}
