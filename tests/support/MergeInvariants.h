// What must hold for any merge of any two files; shared by the fuzz target and the seeded property test.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/CallFileReader.h"
#include "core/calldata/DatabaseWriter.h"
#include "core/calldata/NullProgressDisplay.h"
#include "core/workflow/CommentsDialog.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/ResolveDialog.h"

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

// A record's content: its values and whatever followed its last field.
inline std::string recordKey(const CallRecord& record) {
    std::string key;
    for (const std::string& value : record.values()) {
        key += escaped(value) + '|';
    }
    return key + escaped(std::string(record.extraFields()));
}

inline std::vector<std::string> recordKeys(const RecordList& records) {
    std::vector<std::string> keys;
    for (const auto& record : records) {
        keys.push_back(recordKey(*record));
    }
    return keys;
}

// Station records only, strictly ascending by call; "" when they are.
inline std::string callOrderFault(const RecordList& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records.at(i).isComment() || records.at(i).values().empty()) {
            return "a comment or empty record in the list";
        }
        if (i > 0 && !(records.at(i - 1).call() < records.at(i).call())) {
            return "calls not strictly ascending at " + escaped(records.at(i - 1).call()) + " / " +
                   escaped(records.at(i).call());
        }
    }
    return "";
}

inline const std::vector<FieldDefinition>& layouts() {
    static const std::vector<FieldDefinition> definitions = buildFieldDefinitions();
    return definitions;
}

struct Read {
    RecordList records;
    std::vector<std::string> comments;
    ReadResult result;
    Read(std::string_view bytes, int layout, std::optional<TextEncoding> storeAs = std::nullopt) {
        NullProgressDisplay progress;
        result = readCallText(records, comments, std::make_shared<const FileText>(bytes),
                              layouts().at(static_cast<std::size_t>(layout)), "check", progress, storeAs);
    }
};

// The database file a merge must write for these comments (as read) and station records (in order):
// reads back into the same records, comments first behind "// ", every line ending in CR LF.
inline std::string writtenFileFault(std::string_view bytes, bool byteOrderMark,
                                    const std::vector<std::string>& comments,
                                    const std::vector<std::string>& recordLines,
                                    const std::vector<std::string>& recordValues) {
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
    if (lines.size() != comments.size() + recordLines.size() + 1) {
        return "written " + std::to_string(lines.size()) + " lines for " + std::to_string(comments.size()) +
               " comments and " + std::to_string(recordLines.size()) + " records";
    }
    for (std::size_t i = 0; i < comments.size(); ++i) {
        if (lines[i] != "// " + CommentsDialog::cleanComment(comments[i])) {
            return "comment line " + std::to_string(i) + " \"" + escaped(lines[i]) + "\" is not \"// " +
                   escaped(comments[i]) + "\"";
        }
    }
    for (std::size_t i = 0; i < recordLines.size(); ++i) {
        if (lines[comments.size() + i] != recordLines[i]) {
            return "written \"" + escaped(lines[comments.size() + i]) + "\" for \"" +
                   escaped(recordLines[i]) + '"';
        }
    }
    // The same line can still read back into other values, when a value holds the field separator.
    const Read again(bytes, databaseLayoutIndex);
    if (std::string fault = callOrderFault(again.records); !fault.empty()) {
        return "written file: " + fault;
    }
    // A line is read trimmed, so a value with white space at the line's end loses it by design.
    const std::vector<std::string> keys = recordKeys(again.records);
    for (std::size_t i = 0; i < keys.size() && i < recordValues.size(); ++i) {
        if (keys[i] != recordValues[i] && trimWhiteSpace(recordLines[i]) == recordLines[i]) {
            return "the written record " + recordValues[i] + " reads back as " + keys[i];
        }
    }
    return "";
}

// Boxes answer without a user; a question is not expected when every pair is settled at once.
struct QuietBoxes final : MessageBoxes {
    std::string question;
    void showError(const std::string& /*caption*/, const std::string& /*text*/) override {}
    void showStatus(const std::string& /*caption*/, const std::string& /*text*/) override {}
    bool askYesNo(const std::string& /*caption*/, const std::string& text) override {
        question = text;
        return false;
    }
};

struct QuietMergeWindow final : MergeWindowInterface {
    int layout = 0;
    MergeOptions options;
    QuietBoxes boxes;
    void readBoxes(MergeDialog& dialog) override {
        dialog.inputPath = "input.txt";
        dialog.inputLayout = layout;
        dialog.options = options;
    }
    void showValues(const MergeDialog& /*dialog*/) override {}
    void beginBusy() override {}
    void endBusy() override {}
    void endDialog(DialogResult /*result*/) override {}
    MessageBoxes& messageBoxes() override { return boxes; }
    void setRange(std::size_t /*maximum*/) override {}
    void setPosition(std::size_t /*position*/) override {}
    void setLabel(const std::string& /*text*/) override {}
};

// Settles every differing pair at once, like "Save all New" or "Save all Original".
struct SettleAllStep final : ResolveStep, ResolveWindowInterface {
    bool takeInput = false;
    bool settled = true;
    QuietBoxes boxes;
    DialogResult result = DialogResult::Cancel;

    DialogResult runResolve(ResolveDialog& dialog) override {
        result = DialogResult::Cancel;
        dialog.setWindow(*this);
        dialog.onInitDialog();
        takeInput ? dialog.onSaveAllNew() : dialog.onSaveAllOriginal();
        settled = settled && dialog.pairs().empty();
        return result;
    }
    // The dialog's own output values stand for the boxes, as the user left them.
    bool readBoxes(ResolveDialog& /*dialog*/) override { return true; }
    void showValues(const ResolveDialog& /*dialog*/) override {}
    void redrawAll(const ResolveDialog& /*dialog*/) override {}
    void hideControl(ResolveControl /*control*/) override {}
    void tone(unsigned /*frequency*/, unsigned /*milliseconds*/) override {}
    void endDialog(DialogResult ended) override { result = ended; }
    MessageBoxes& messageBoxes() override { return boxes; }
};

// Writes with the proposed comments and keeps the records the database is about to be written with.
struct AcceptCommentsStep final : CommentsStep, CommentsWindowInterface {
    DialogResult result = DialogResult::Cancel;
    std::vector<std::string> recordLines, recordValues;

    DialogResult runComments(CommentsDialog& dialog) override {
        dialog.setWindow(*this);
        dialog.initComments();
        dialog.onWrite();
        recordLines.clear();
        recordValues.clear();
        for (const auto& record : dialog.databaseRecords()) {
            if (!record->isComment()) {
                recordLines.push_back(record->databaseLine());
                recordValues.push_back(recordKey(*record));
            }
        }
        return result;
    }
    void readBoxes(CommentsDialog& /*dialog*/) override {}
    void showValues(const CommentsDialog& /*dialog*/) override {}
    void endDialog(DialogResult ended) override { result = ended; }
};

struct MergeCase {
    std::string database, input;
    int layout = 0;  // of the input
    MergeOptions options;
    bool takeInput = false;
};

struct QuietMerge {
    QuietMergeWindow window;
    SettleAllStep resolve;
    AcceptCommentsStep comments;
    ProgramSettings settings;
    MergeDialog dialog{window, resolve, comments, settings};
    MergeOutcome outcome;
    QuietMerge(const MergeCase& c, const std::filesystem::path& folder, bool takeInput) {
        window.layout = c.layout;
        window.options = c.options;
        resolve.takeInput = takeInput;
        dialog.workFolder = folder;
        outcome = dialog.onMerge();
    }
    [[nodiscard]] std::string fault() const {
        if (!window.boxes.question.empty() || !resolve.boxes.question.empty()) {
            return "unexpected question: " + window.boxes.question + resolve.boxes.question;
        }
        return resolve.settled ? "" : "differences remain after settling all";
    }
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Merges the case's input into its database in `folder` (over an older backup) and again, and
// returns the first invariant broken, or "" when all hold.
// `sameLinesAgain`: the second merge must also keep every line; fuzzed values that only a matched record
// has normalised (an EME field of other text) make a first insert and a later match differ.
inline std::string mergeFault(const MergeCase& c, const std::filesystem::path& folder, bool sameLinesAgain) {
    // A backup from an earlier merge must give way to the file this merge replaces.
    const std::string staleBackup = "// an older backup\r\n";
    writeFile(folder / backupFileName, staleBackup);
    writeFile(folder / databaseFileName, c.database);
    writeFile(folder / "input.txt", c.input);
    const QuietMerge merge(c, folder, c.takeInput);
    if (std::string fault = merge.fault(); !fault.empty()) {
        return fault;
    }

    const Read database(c.database, databaseLayoutIndex);
    // The input's text joins a database with non-ASCII bytes in the database's encoding.
    const Read input(
        c.input, c.layout,
        database.result.encodingKnown() ? std::optional(database.result.encoding) : std::nullopt);
    std::map<std::string, std::string> expected;  // every call of both files, with its database line if held
    for (const auto& record : database.records) {
        expected[std::string(record->call())] = record->databaseLine();
    }
    std::size_t newCalls = 0;
    for (const auto& record : input.records) {
        newCalls += expected.contains(std::string(record->call())) ? 0 : 1;
        expected.erase(std::string(record->call()));
        expected[std::string(record->call())];  // the input may change it
    }
    if (merge.dialog.session()->insertedCount != newCalls) {
        return "inserted " + std::to_string(merge.dialog.session()->insertedCount) +
               " calls, the input has " + std::to_string(newCalls) + " new ones";
    }
    const std::string writtenBytes = readFile(folder / databaseFileName);
    if (merge.outcome == MergeOutcome::NoChanges) {
        if (newCalls != 0 || writtenBytes != c.database || readFile(folder / backupFileName) != staleBackup) {
            return "a merge without changes changed Call3.txt or Call3.bak";
        }
    } else if (merge.outcome != MergeOutcome::Written) {
        return "the merge ended with outcome " + std::to_string(static_cast<int>(merge.outcome));
    } else {
        if (readFile(folder / backupFileName) != c.database) {
            return "Call3.bak does not hold the old Call3.txt";
        }
        if (merge.dialog.session()->writeCount != merge.comments.recordLines.size()) {
            return "writeCount " + std::to_string(merge.dialog.session()->writeCount) + " for " +
                   std::to_string(merge.comments.recordLines.size()) + " records";
        }
        std::vector<std::string> comments = database.comments;
        comments.insert(comments.end(), input.comments.begin(), input.comments.end());
        if (std::string fault = writtenFileFault(writtenBytes, database.result.hadByteOrderMark, comments,
                                                 merge.comments.recordLines, merge.comments.recordValues);
            !fault.empty()) {
            return fault;
        }
        // Every call of both files exactly once; a record the input does not name keeps its line.
        const Read written(writtenBytes, databaseLayoutIndex);
        std::map<std::string, std::string> got;
        for (const auto& record : written.records) {
            const auto held = expected.find(std::string(record->call()));
            got[std::string(record->call())] =
                held == expected.end() || held->second.empty() ? "" : record->databaseLine();
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
    const QuietMerge second(c, folder, false);
    if (std::string fault = second.fault(); !fault.empty()) {
        return "second merge: " + fault;
    }
    if (second.dialog.session()->insertedCount != 0) {
        return "the second merge inserted " + std::to_string(second.dialog.session()->insertedCount);
    }
    if (sameLinesAgain && second.outcome == MergeOutcome::Written && merge.outcome == MergeOutcome::Written &&
        second.comments.recordLines != merge.comments.recordLines) {
        const auto& [was, is] =
            std::mismatch(merge.comments.recordLines.begin(), merge.comments.recordLines.end(),
                          second.comments.recordLines.begin(), second.comments.recordLines.end());
        return "the second merge changed \"" +
               (was == merge.comments.recordLines.end() ? "-" : escaped(*was)) + "\" to \"" +
               (is == second.comments.recordLines.end() ? "-" : escaped(*is)) + '"';
    }
    if (second.outcome != MergeOutcome::NoChanges &&
        (second.outcome != MergeOutcome::Written || merge.outcome != MergeOutcome::Written)) {
        return "the second merge ended with outcome " + std::to_string(static_cast<int>(second.outcome));
    }
    // With a backup already there, the new one is the file this merge replaced.
    if (second.outcome == MergeOutcome::Written && readFile(folder / backupFileName) != writtenBytes) {
        return "after the second merge Call3.bak does not hold the first merge's Call3.txt";
    }
    return "";
}

}  // namespace invariants
