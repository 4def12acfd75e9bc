// Keeping a resolve step's decisions in a small text file: one line a pair, tab-separated fields.
#include "core/workflow/ResumeStore.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "core/calldata/CallRecord.h"
#include "core/platform/NewFile.h"

namespace {

constexpr std::string_view header = "velkmerge-resume 1";

// FNV-1a over eight bytes at a time, taken in little-endian order, then the rest and the length: the same
// number for the same bytes on every platform, which std::hash does not promise, and fast enough for the
// largest files (a byte at a time waits on each multiplication).
std::uint64_t fingerprint(std::string_view bytes, std::uint64_t hash = 14695981039346656037ULL) {
    constexpr std::uint64_t prime = 1099511628211ULL;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            word |= std::uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
        }
        hash = (hash ^ word) * prime;
    }
    for (; at < bytes.size(); ++at) {
        hash = (hash ^ static_cast<unsigned char>(bytes[at])) * prime;
    }
    return (hash ^ bytes.size()) * prime;
}

// Tabs, line ends and backslashes in a value would break the line it is kept in.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == line.npos ? line.npos : tab - start));
        if (tab == line.npos) {
            return fields;
        }
        start = tab + 1;
    }
}

std::optional<SavedDecision> parsed(std::string_view line) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.size() != 7 || fields[4].size() != 1 || fields[5].size() != pairFieldCount ||
        fields[4][0] < '0' || fields[4][0] > '4') {
        return std::nullopt;
    }
    SavedDecision saved{unescaped(fields[0]),
                        unescaped(fields[1]),
                        unescaped(fields[2]),
                        unescaped(fields[3]),
                        static_cast<PairState>(fields[4][0] - '0'),
                        {},
                        fields[6] == "1"};
    for (std::size_t i = 0; i < pairFieldCount; ++i) {
        if (fields[5][i] < '0' || fields[5][i] > '2') {
            return std::nullopt;
        }
        saved.decisions[i] = static_cast<FieldDecision>(fields[5][i] - '0');
    }
    return saved;
}

}  // namespace

std::string ResumeStore::keyOf(std::string_view database, std::string_view input, int layout) {
    const std::uint64_t databaseFingerprint = fingerprint(database);
    std::ostringstream key;
    key << std::hex << databaseFingerprint << '-' << fingerprint(input, databaseFingerprint) << '-' << layout;
    return key.str();
}

std::filesystem::path ResumeStore::pathOf(const std::string& key) const {
    return folder_ / (key + ".resume");
}

std::vector<SavedDecision> ResumeStore::load(const std::string& key) const {
    std::ifstream file(pathOf(key), std::ios::binary);
    std::string line;
    std::vector<SavedDecision> decisions;
    if (!std::getline(file, line) || line != header) {
        return decisions;
    }
    while (std::getline(file, line)) {
        if (std::optional<SavedDecision> saved = parsed(line)) {
            decisions.push_back(std::move(*saved));
        }
    }
    return decisions;
}

bool ResumeStore::save(const std::string& key, const PairTable& pairs) const {
    std::string text(header);
    text += '\n';
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const ResolvePair& pair = pairs.pair(i);
        const bool decided = pair.state != PairState::Open ||
                             std::any_of(pair.decisions.begin(), pair.decisions.end(),
                                         [](FieldDecision d) { return d != FieldDecision::Undecided; });
        if (!decided) {
            continue;
        }
        text += escaped(pair.input->call()) + '\t' + escaped(pair.input->line()) + '\t' +
                escaped(pair.original) + '\t' + escaped(pair.database->valueText()) + '\t' +
                static_cast<char>('0' + static_cast<int>(pair.state)) + '\t';
        for (const FieldDecision decision : pair.decisions) {
            text += static_cast<char>('0' + static_cast<int>(decision));
        }
        text += pair.counted ? "\t1\n" : "\t0\n";
    }
    // Written beside and renamed, so that a program cut short leaves the earlier decisions whole.
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::filesystem::path temporary = pathOf(key + ".new");
    std::filesystem::remove(temporary, error);
    const std::unique_ptr<NewFile> file = NewFile::create(temporary, error);
    if (!file) {
        return false;
    }
    error = file->write(text);
    if (const std::error_code closed = file->syncAndClose(); !error) {
        error = closed;
    }
    if (!error) {
        std::filesystem::rename(temporary, pathOf(key), error);
    }
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

void ResumeStore::forget(const std::string& key) const {
    std::error_code ignored;
    std::filesystem::remove(pathOf(key), ignored);
}

std::size_t ResumeStore::apply(const std::vector<SavedDecision>& decisions, PairTable& pairs) {
    std::multimap<std::string_view, std::size_t> byCall;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        byCall.emplace(pairs.pair(i).input->call(), i);
    }
    std::size_t applied = 0;
    for (const SavedDecision& saved : decisions) {
        const auto [first, last] = byCall.equal_range(saved.call);
        for (auto found = first; found != last; ++found) {
            const ResolvePair& pair = pairs.pair(found->second);
            if (pair.original == saved.original && pair.input->line() == saved.inputLine) {
                pairs.restore({found->second, saved.values, saved.state, saved.decisions, saved.counted});
                ++applied;
                break;
            }
        }
    }
    pairs.refreshView();
    return applied;
}
