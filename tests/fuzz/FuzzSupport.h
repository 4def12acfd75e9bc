// What the fuzz targets share: aborting on a broken property and a scratch folder per process.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/MergeInvariants.h"

using namespace invariants;

// A broken property is a finding: libFuzzer keeps the input as a crash file when the process aborts.
inline void fuzzCheck(bool holds, const std::string& what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz property violated: %s\n", what.c_str());
        std::abort();
    }
}

// A failure text from the shared checks; empty when they hold.
inline void fuzzCheck(const std::string& fault) {
    fuzzCheck(fault.empty(), fault);
}

// One folder per process, so that parallel fuzzers never share a file; removed at exit.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkmerge-fuzz-XXXXXX").string();
        fuzzCheck(mkdtemp(pattern.data()) != nullptr, "cannot create a temporary folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}
