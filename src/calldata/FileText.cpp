// Loading a file's text: read, or mapped where the system can.
#include "calldata/FileText.h"

#include <algorithm>
#include <optional>

FileText::FileText(std::string_view bytes)
    : FileText(FileBytes{std::make_unique_for_overwrite<char[]>(bytes.size()), bytes.size()}) {
    std::copy(bytes.begin(), bytes.end(), read_.data.get());
}

FileText::~FileText() {
    if (mapped_) {
        unmapFile(bytes_.data(), bytes_.size());
    }
}

bool FileText::fileUnchanged() const {
    const std::optional<FileStamp> now = stampOf(path_);
    return now && *now == stamp_;
}

void FileText::makePrivate() const {
    if (!mapped_ || private_) {
        return;
    }
    // Failing, the text stays mapped, as it was.
    if (replaceMappingWithCopy(bytes_.data(), bytes_.size())) {
        // Looked at after the copy: a change before it may be in the copy, a later one cannot be.
        changedBeforeCopy_ = !fileUnchanged();
        private_ = true;
    }
}

bool FileText::keptItsBytes() const {
    if (!mapped_) {
        return true;
    }
    return private_ ? !changedBeforeCopy_ : fileUnchanged();
}

std::shared_ptr<const FileText> FileText::load(const std::filesystem::path& path, bool mapped) {
    if (mapped) {
        const char* mapping = nullptr;
        std::size_t size = 0;
        FileStamp stamp;
        const MapResult result = mapRegularFile(path, mapping, size, stamp);
        if (result == MapResult::Mapped) {
            return std::make_shared<const FileText>(MappedTag(), mapping, size, path, stamp);
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
