// A file's bytes held in memory for the records that point into them: read or given, or mapped.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

#include "calldata/PlatformFiles.h"

class FileText {
  public:
    explicit FileText(FileBytes read) : read_(std::move(read)), bytes_(read_.data.get(), read_.size) {}
    // A copy of bytes already in memory.
    explicit FileText(std::string_view bytes);
    ~FileText();
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    [[nodiscard]] std::string_view bytes() const { return bytes_; }
    // Makes a mapped text a private copy at the same addresses, so that the file may change or shrink
    // from then on without harm; a text read or given is private already. Other threads may read the
    // bytes meanwhile: they are the same before and after.
    void makePrivate() const;
    // False when the file of a mapped text was changed while the text was mapped: written over (the
    // bytes then were no longer those the records were cut from), or replaced. Checked now, or, for a
    // text made private, as the copy was made. Always true for a text read or given.
    [[nodiscard]] bool keptItsBytes() const;

    // The whole content of a regular file; nothing when it is not one, is too large or cannot be read.
    // Read into memory of its own, or, with `mapped`, mapped read-only where the system can: no copy and
    // no fresh memory to fill, but the file must not change while it is mapped (see keptItsBytes; one
    // that another program cuts short stops this one, see stopCleanlyOnFileCutShort).
    [[nodiscard]] static std::shared_ptr<const FileText> load(const std::filesystem::path& path, bool mapped);

  private:
    // Only load makes a mapped text (the tag is private); make_shared needs the constructor public.
    struct MappedTag {
        explicit MappedTag() = default;
    };

  public:
    FileText(MappedTag /*only load*/, const char* mapping, std::size_t size, std::filesystem::path path,
             const FileStamp& stamp)
        : bytes_(mapping, size), mapped_(true), path_(std::move(path)), stamp_(stamp) {}

  private:
    [[nodiscard]] bool fileUnchanged() const;

    FileBytes read_;
    std::string_view bytes_;
    bool mapped_ = false;
    std::filesystem::path path_;  // of a mapped text
    FileStamp stamp_;             // of a mapped text's file as it was mapped
    // Set by makePrivate, which may run on another thread than keptItsBytes.
    mutable std::atomic<bool> private_ = false;
    mutable std::atomic<bool> changedBeforeCopy_ = false;
};
