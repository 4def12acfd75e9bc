// The folder part of a typed path.
#include "core/workflow/ProgramSettings.h"

namespace {

bool isSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace

std::string folderOfPath(std::string_view path) {
    std::size_t last = path.size();
    while (last > 0 && !isSeparator(path[last - 1])) {
        --last;
    }
    if (last == 0) {
        return {};
    }
    // `last` is just past the separator; keep it when only a root (or a drive and a root) precedes.
    std::size_t end = last - 1;
    const bool atRoot = end == 0 || (end == 2 && path[1] == ':');
    if (atRoot) {
        end = last;
    }
    return std::string(path.substr(0, end));
}
