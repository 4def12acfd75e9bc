// Writing the report through a temporary file, and telling it apart from the merge's own files.
#include "core/workflow/ReportFile.h"

#include <algorithm>
#include <cctype>

#include "core/calldata/TextEncoding.h"
#include "core/platform/PathText.h"

namespace {

// Where a path leads once every link on the way is followed, also to a file that does not exist yet.
std::filesystem::path destination(std::filesystem::path path) {
    std::error_code error;
    path = std::filesystem::absolute(path, error);
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(path, error));
         ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    path = std::filesystem::weakly_canonical(path, error);
    const std::string text = utf8OfPath(path.lexically_normal());
#ifdef _WIN32
    return asciiLowerCase(text);  // names differ only in case on Windows' file systems
#else
    return text;
#endif
}

}  // namespace

ReportFile::~ReportFile() {
    file_.reset();
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

bool ReportFile::isOneOf(const std::filesystem::path& path, const std::vector<std::filesystem::path>& files) {
    const std::filesystem::path wanted = destination(path);
    return std::any_of(files.begin(), files.end(), [&](const std::filesystem::path& file) {
        std::error_code error;
        // The same file by device and inode: a hard link, or a folder reached another way.
        return destination(file) == wanted || std::filesystem::equivalent(path, file, error);
    });
}

std::error_code ReportFile::open() {
    std::error_code error;
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temporary_ = path_;
        temporary_ += ".velkmerge-new" + (attempt == 0 ? std::string() : "-" + std::to_string(attempt));
        file_ = NewFile::create(temporary_, error);
        if (error && error != std::errc::file_exists) {
            break;
        }
    }
    if (!file_) {
        temporary_.clear();
        return error;
    }
    // A report written again keeps the permissions it had.
    std::error_code missing;
    return std::filesystem::is_regular_file(path_, missing) ? file_->takeOwnerAndModeOf(path_)
                                                            : std::error_code();
}

std::error_code ReportFile::write(std::string_view text) {
    if (!file_) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    std::error_code error = file_->write(text);
    if (const std::error_code closed = file_->syncAndClose(); !error) {
        error = closed;
    }
    file_.reset();
    if (!error) {
        std::filesystem::rename(temporary_, path_, error);
    }
    if (!error) {
        temporary_.clear();
    }
    return error;
}
