// A file's bytes held in memory for the records that point into them: read, given, or mapped.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "calldata/PlatformFiles.h"

class FileText {
  public:
    explicit FileText(std::string bytes) : owned_(std::move(bytes)), bytes_(owned_) {}
    explicit FileText(FileBytes read) : read_(std::move(read)), bytes_(read_.data.get(), read_.size) {}
    ~FileText();
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    [[nodiscard]] std::string_view bytes() const { return bytes_; }
    // Makes a mapped text a private copy at the same addresses, so that the file may change or shrink
    // from then on without harm; a text read or given is private already. Other threads may read the
    // bytes meanwhile: they are the same before and after.
    void makePrivate() const;

    // The whole content of a regular file; nothing when it is not one, is too large or cannot be read.
    // Read into memory of its own, or, with `mapped`, mapped read-only where the system can: no copy and
    // no fresh memory to fill, but a file that another program cuts short while it is mapped stops this
    // one at the next look at the part cut off (see stopCleanlyOnFileCutShort and makePrivate).
    [[nodiscard]] static std::shared_ptr<const FileText> load(const std::filesystem::path& path, bool mapped);

  private:
    // Only load makes a mapped text (the tag is private); make_shared needs the constructor public.
    struct MappedTag {
        explicit MappedTag() = default;
    };

  public:
    FileText(MappedTag /*only load*/, const char* mapping, std::size_t size)
        : bytes_(mapping, size), mapped_(true) {}

  private:
    std::string owned_;
    FileBytes read_;
    std::string_view bytes_;
    bool mapped_ = false;
};
