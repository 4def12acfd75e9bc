// Loading a file's text: read, or mapped where the system can.
#include "calldata/FileText.h"

#include <optional>

#include "calldata/PlatformFiles.h"

FileText::~FileText() {
    if (mapped_) {
        unmapFile(bytes_.data(), bytes_.size());
    }
}

void FileText::makePrivate() const {
    if (mapped_ && !bytes_.empty()) {
        // Failing, the text stays mapped, as it was.
        (void)replaceMappingWithCopy(bytes_.data(), bytes_.size());
    }
}

std::shared_ptr<const FileText> FileText::load(const std::filesystem::path& path, bool mapped) {
    if (mapped) {
        const char* mapping = nullptr;
        std::size_t size = 0;
        const MapResult result = mapRegularFile(path, mapping, size);
        if (result == MapResult::Mapped) {
            return std::make_shared<const FileText>(MappedTag(), mapping, size);
        }
        if (result == MapResult::Refused) {
            return nullptr;
        }
        // Unmappable: read instead.
    }
    std::optional<FileBytes> bytes = readRegularFile(path);
    if (!bytes) {
        return nullptr;
    }
    return std::make_shared<const FileText>(std::move(*bytes));
}
