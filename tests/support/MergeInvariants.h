// What must hold for any merge of any two files; shared by the fuzz target and the seeded property test.
// The merges run through the batch command's entry, in process, with its JSON report on standard output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliApp.h"
#include "core/calldata/CallFileReader.h"
#include "core/calldata/DatabaseWriter.h"
#include "core/calldata/NullProgressDisplay.h"
#include "core/merge/MergeOptions.h"
#include "core/workflow/CommentsDialog.h"

// No GoogleTest here: the fuzzer aborts on a failure text, the property test reports it with its case.
namespace invariants {

// Bytes shown with escapes, so that a report stays one readable line.
inline std::string escaped(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            text += hex;
        }
    }
    return text;
}

inline const std::vector<FieldDefinition>& layouts() {
    static const std::vector<FieldDefinition> definitions = buildFieldDefinitions();
    return definitions;
}

// A file's bytes read as a merge reads them.
struct Read {
    RecordList records;
    std::vector<std::string> comments;
    ReadResult result;
    Read(std::string_view bytes, int layout, std::optional<TextEncoding> storeAs = std::nullopt) {
        NullProgressDisplay progress;
        result = readCallText(records, comments, std::make_shared<const FileText>(bytes),
                              layouts().at(static_cast<std::size_t>(layout)), "check", progress, storeAs);
    }
    [[nodiscard]] std::map<std::string, std::string> lines() const {
        std::map<std::string, std::string> byCall;
        for (const CallRecord* record : records) {
            byCall[std::string(record->call())] = record->databaseLine();
        }
        return byCall;
    }
};

struct MergeCase {
    std::string database, input;
    int layout = 0;  // of the input
    MergeOptions options;
    bool takeInput = false;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// velkmerge-cli -C folder --report - with the case's layout, options and way of settling; the report, or
// nothing when the command failed (the fault then says why).
inline std::optional<nlohmann::json> runMerge(const MergeCase& c, const std::filesystem::path& folder,
                                              bool takeInput, std::string& fault) {
    std::vector<std::string> args{"velkmerge-cli",
                                  "-C",
                                  folder.string(),
                                  "--layout",
                                  std::to_string(c.layout),
                                  "--resolve",
                                  takeInput ? "input" : "original",
                                  "--report",
                                  "-",
                                  "--force-layout"};  // odd inputs need not fit their layout
    for (const auto& [name, member] : mergeOptionMembers) {
        args.insert(args.end(), {c.options.*member ? "--set" : "--unset", std::string(name)});
    }
    args.emplace_back("input.txt");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    if (const int status = runCli(static_cast<int>(argv.size()), argv.data(), out, err); status != 0) {
        fault = "velkmerge-cli exited with " + std::to_string(status) + ": " + escaped(err.str());
        return std::nullopt;
    }
    return nlohmann::json::parse(out.str());
}

// The database file a merge must write: comments first behind "// ", then `records` station lines in
// ascending call order, the end marker last, every line ending in CR LF.
inline std::string writtenFileFault(std::string_view bytes, bool byteOrderMark,
                                    const std::vector<std::string>& comments, std::size_t records) {
    if (bytes.starts_with(utf8ByteOrderMark) != byteOrderMark) {
        return "the byte-order mark was not kept";
    }
    std::string_view text = bytes.substr(byteOrderMark ? utf8ByteOrderMark.size() : 0);
    std::vector<std::string_view> lines;
    for (std::size_t end; (end = text.find("\r\n")) != text.npos; text.remove_prefix(end + 2)) {
        lines.push_back(text.substr(0, end));
    }
    if (!text.empty() || lines.empty() || lines.back() != endMarkerLine) {
        return "the file does not end in the end marker and CR LF";
    }
    if (lines.size() != comments.size() + records + 1) {
        return "written " + std::to_string(lines.size()) + " lines for " + std::to_string(comments.size()) +
               " comments and " + std::to_string(records) + " records";
    }
    for (std::size_t i = 0; i < comments.size(); ++i) {
        if (lines[i] != "// " + CommentsDialog::cleanComment(comments[i])) {
            return "comment line " + std::to_string(i) + " \"" + escaped(lines[i]) + "\" is not \"// " +
                   escaped(comments[i]) + "\"";
        }
    }
    const Read again(bytes, databaseLayoutIndex);
    if (again.records.size() != records) {
        return "the written file reads back as " + std::to_string(again.records.size()) + " records";
    }
    // White space at a line's ends is no part of it when it is read (a value that ends a line may end in it).
    for (std::size_t i = 1; i < again.records.size(); ++i) {
        if (!(again.records.at(i - 1).call() < again.records.at(i).call()) ||
            trimWhiteSpace(lines[comments.size() + i]) != again.records.at(i).databaseLine()) {
            return "written line \"" + escaped(lines[comments.size() + i]) +
                   "\" is out of order or reads back "
                   "otherwise";
        }
    }
    return "";
}

// Merges the case's input into its database in `folder` (over an older backup) and again, and returns the
// first invariant broken, or "" when all hold. `sameLinesAgain`: the second merge must also keep every
// line; fuzzed values that only a matched record has normalised (an EME field of other text) make a first
// insert and a later match differ.
inline std::string mergeFault(const MergeCase& c, const std::filesystem::path& folder, bool sameLinesAgain) {
    // A backup from an earlier merge must give way to the file this merge replaces.
    const std::string staleBackup = "// an older backup\r\n";
    writeFile(folder / backupFileName, staleBackup);
    writeFile(folder / databaseFileName, c.database);
    writeFile(folder / "input.txt", c.input);
    std::string fault;
    const std::optional<nlohmann::json> first = runMerge(c, folder, c.takeInput, fault);
    if (!first) {
        return fault;
    }

    const Read database(c.database, databaseLayoutIndex);
    // The input's text joins a database that tells its encoding in the database's encoding.
    const Read input(
        c.input, c.layout,
        database.result.encodingKnown() ? std::optional(database.result.encoding) : std::nullopt);
    std::map<std::string, std::string> expected =
        database.lines();  // every call, with its line if kept as is
    std::size_t newCalls = 0;
    for (const CallRecord* record : input.records) {
        const std::string call(record->call());
        newCalls += expected.contains(call) ? 0 : 1;
        expected[call] = "";  // the input may change it
    }
    if ((*first)["counts"]["inserted"] != newCalls) {
        return "inserted " + (*first)["counts"]["inserted"].dump() + " calls, the input has " +
               std::to_string(newCalls) + " new ones";
    }
    const std::string writtenBytes = readFile(folder / databaseFileName);
    const std::string outcome = (*first)["outcome"];
    if (outcome == "no-changes") {
        if (newCalls != 0 || writtenBytes != c.database || readFile(folder / backupFileName) != staleBackup) {
            return "a merge without changes changed Call3.txt or Call3.bak";
        }
    } else if (outcome != "written") {
        return "the merge ended with outcome " + outcome;
    } else {
        if (readFile(folder / backupFileName) != c.database) {
            return "Call3.bak does not hold the old Call3.txt";
        }
        // The input's comments follow the database's, but for those the database has already (the same line
        // but for blanks around it, or the same text once cleaned).
        std::vector<std::string> comments = database.comments;
        const auto bare = [](const std::string& comment) {
            return std::string(trimWhiteSpace(CommentsDialog::cleanComment(comment)));
        };
        for (const std::string& comment : input.comments) {
            if (std::none_of(database.comments.begin(), database.comments.end(),
                             [&](const std::string& known) {
                                 return bare(known) == bare(comment) ||
                                        trimWhiteSpace(known) == trimWhiteSpace(comment);
                             })) {
                comments.push_back(comment);
            }
        }
        if (std::string wrong = writtenFileFault(writtenBytes, database.result.hadByteOrderMark, comments,
                                                 (*first)["counts"]["recordsToWrite"]);
            !wrong.empty()) {
            return wrong;
        }
        // Every call of both files exactly once; a record the input does not name keeps its line.
        std::map<std::string, std::string> got = Read(writtenBytes, databaseLayoutIndex).lines();
        for (auto& [call, line] : got) {
            const auto held = expected.find(call);
            line = held == expected.end() || held->second.empty() ? "" : line;
        }
        if (got != expected) {
            for (const auto& [call, line] : expected) {
                if (!got.contains(call) || got.at(call) != line) {
                    return "lost or changed " + escaped(call) + " \"" + escaped(line) + '"';
                }
            }
            return "Call3.txt has calls neither file has";
        }
    }

    // The same input merged again, keeping what is held, has nothing new and changes no record.
    const std::optional<nlohmann::json> second = runMerge(c, folder, false, fault);
    if (!second) {
        return "second merge: " + fault;
    }
    if ((*second)["counts"]["inserted"] != 0) {
        return "the second merge inserted " + (*second)["counts"]["inserted"].dump();
    }
    const std::string secondBytes = readFile(folder / databaseFileName);
    if (sameLinesAgain &&
        Read(secondBytes, databaseLayoutIndex).lines() != Read(writtenBytes, databaseLayoutIndex).lines()) {
        return "the second merge changed a record";
    }
    const std::string secondOutcome = (*second)["outcome"];
    if (secondOutcome != "no-changes" && (secondOutcome != "written" || outcome != "written")) {
        return "the second merge ended with outcome " + secondOutcome;
    }
    // With a backup already there, the new one is the file this merge replaced.
    if (secondOutcome == "written" && readFile(folder / backupFileName) != writtenBytes) {
        return "after the second merge Call3.bak does not hold the first merge's Call3.txt";
    }
    return "";
}

}  // namespace invariants
