// Fuzz target: a whole merge of a fuzzed database and input file, checked against what both files hold.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "app/MergeDialog.h"
#include "calldata/CallFileReader.h"
#include "confirm/CommentsDialog.h"
#include "resolve/ResolveDialog.h"

namespace {

// Between the database and the input file in a fuzz input.
constexpr std::string_view separator{"\n###\n"};
constexpr std::string_view inputName{"input.txt"};

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkmerge-fuzz-merge-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            fuzzFailure("cannot create a temporary folder");
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Boxes answer without a user; a question is not expected when every pair is settled at once.
struct QuietBoxes final : MessageBoxes {
    void showError(const std::string& /*caption*/, const std::string& /*text*/) override {}
    void showStatus(const std::string& /*caption*/, const std::string& /*text*/) override {}
    bool askYesNo(const std::string& /*caption*/, const std::string& text) override {
        fuzzFailure("unexpected question: " + text);
    }
};

struct QuietMergeWindow final : MergeWindowInterface {
    int layout = 0;
    MergeOptions options;
    QuietBoxes boxes;

    void readBoxes(MergeDialog& dialog) override {
        dialog.inputPath = std::string(inputName);
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
    QuietBoxes boxes;
    DialogResult result = DialogResult::Cancel;
    std::string outCall, outGrid, outState, outName, outStation, outEmail;
    bool outEme = false;

    DialogResult runResolve(ResolveDialog& dialog) override {
        result = DialogResult::Cancel;
        dialog.setWindow(*this);
        dialog.onInitDialog();
        takeInput ? dialog.onSaveAllNew() : dialog.onSaveAllOriginal();
        fuzzCheck(dialog.owner.differences.empty(), "differences remain after settling all");
        return result;
    }
    bool readBoxes(ResolveDialog& dialog) override {
        dialog.outCall = outCall;
        dialog.outGrid = outGrid;
        dialog.outEme = outEme;
        dialog.outState = outState;
        dialog.outName = outName;
        dialog.outStation = outStation;
        dialog.outEmail = outEmail;
        return true;
    }
    void showValues(const ResolveDialog& dialog) override {
        outCall = dialog.outCall;
        outGrid = dialog.outGrid;
        outEme = dialog.outEme;
        outState = dialog.outState;
        outName = dialog.outName;
        outStation = dialog.outStation;
        outEmail = dialog.outEmail;
    }
    void redrawAll(const ResolveDialog& /*dialog*/) override {}
    void hideControl(ResolveControl /*control*/) override {}
    void tone(unsigned /*frequency*/, unsigned /*milliseconds*/) override {}
    void endDialog(DialogResult ended) override { result = ended; }
    MessageBoxes& messageBoxes() override { return boxes; }
};

// Writes with the proposed comments and keeps the lines the database is about to be written with.
struct AcceptCommentsStep final : CommentsStep, CommentsWindowInterface {
    DialogResult result = DialogResult::Cancel;
    std::vector<std::string> recordLines;   // station records' database lines, in list order
    std::vector<std::string> recordValues;  // their values and extra fields, as recordKey gives them
    std::vector<std::string> commentLines;  // comment records' lines, in list order

    DialogResult runComments(CommentsDialog& dialog) override {
        dialog.setWindow(*this);
        dialog.initComments();
        dialog.onWrite();
        recordLines.clear();
        recordValues.clear();
        commentLines.clear();
        for (const auto& record : dialog.owner.databaseRecords) {
            if (record->isComment) {
                commentLines.push_back(record->line);
            } else {
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

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fuzzCheck(static_cast<bool>(out), "cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    fuzzCheck(static_cast<bool>(in), "cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Read {
    RecordList records;
    std::vector<std::string> comments;
    ReadResult result;
};

// `storeAs`: the encoding of the file the records will join.
Read readText(std::string_view bytes, const FieldDefinition& layout,
              std::optional<TextEncoding> storeAs = std::nullopt) {
    Read read;
    SilentProgress progress;
    read.result = readCallText(read.records, read.comments, bytes, layout, "fuzz", progress, storeAs);
    return read;
}

std::multiset<std::string> cleanedComments(const std::vector<std::string>& comments) {
    std::multiset<std::string> cleaned;
    for (const std::string& comment : comments) {
        cleaned.insert(CommentsDialog::cleanComment(comment));
    }
    return cleaned;
}

struct Merge {
    QuietMergeWindow window;
    SettleAllStep resolve;
    AcceptCommentsStep comments;
    ProgramSettings settings;
    MergeDialog dialog{window, resolve, comments, settings};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    // Byte 0: input layout and how differences are settled; bytes 1 and 2: the fourteen options.
    const int layout = data[0] % 3;
    const bool takeInput = (data[0] & 0x80) != 0;
    const unsigned optionBits = data[1] | (static_cast<unsigned>(data[2]) << 8);
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t cut = rest.find(separator);
    const std::string_view databaseBytes =
        cut == rest.npos ? rest.substr(0, rest.size() / 2) : rest.substr(0, cut);
    const std::string_view inputBytes =
        cut == rest.npos ? rest.substr(rest.size() / 2) : rest.substr(cut + separator.size());

    const std::filesystem::path& folder = scratchFolder();
    std::error_code ignored;
    std::filesystem::remove(folder / backupFileName, ignored);
    writeFile(folder / databaseFileName, databaseBytes);
    writeFile(folder / inputName, inputBytes);

    Merge merge;
    merge.window.layout = layout;
    for (std::size_t i = 0; i < mergeOptionMembers.size(); ++i) {
        merge.window.options.*mergeOptionMembers[i].second = ((optionBits >> i) & 1U) != 0;
    }
    merge.resolve.takeInput = takeInput;
    merge.dialog.workFolder = folder;
    const MergeOutcome outcome = merge.dialog.onMerge();

    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    const Read database = readText(databaseBytes, layouts[databaseLayoutIndex]);
    // The input's text joins a database with non-ASCII bytes in the database's encoding.
    const Read input =
        readText(inputBytes, layouts[static_cast<std::size_t>(layout)],
                 database.result.hasNonAscii ? std::optional(database.result.encoding) : std::nullopt);
    std::set<std::string> expectedCalls;
    for (const Read* read : {&database, &input}) {
        for (const auto& record : read->records) {
            expectedCalls.insert(record->call());
        }
    }
    const std::size_t newCalls = static_cast<std::size_t>(
        std::count_if(input.records.begin(), input.records.end(), [&database](const auto& record) {
            return std::none_of(database.records.begin(), database.records.end(),
                                [&record](const auto& held) { return held->call() == record->call(); });
        }));
    fuzzCheck(merge.dialog.insertedCount == newCalls,
              "inserted " + std::to_string(merge.dialog.insertedCount) + " calls, the input has " +
                  std::to_string(newCalls) + " new ones");

    if (outcome == MergeOutcome::NoChanges) {
        fuzzCheck(readFile(folder / databaseFileName) == databaseBytes, "Call3.txt changed without a write");
        fuzzCheck(!std::filesystem::exists(folder / backupFileName), "Call3.bak made without a write");
        return 0;
    }
    fuzzCheck(outcome == MergeOutcome::Written,
              "the merge ended with outcome " + std::to_string(static_cast<int>(outcome)));
    fuzzCheck(readFile(folder / backupFileName) == databaseBytes,
              "Call3.bak does not hold the old Call3.txt");

    // The file as written reads back into the records the merge held, in the same order.
    const std::string writtenBytes = readFile(folder / databaseFileName);
    const Read written = readText(writtenBytes, layouts[databaseLayoutIndex]);
    checkCallOrder(written.records, "written Call3.txt");
    std::vector<std::string> writtenLines;
    for (const auto& record : written.records) {
        writtenLines.push_back(record->databaseLine());
    }
    if (writtenLines != merge.comments.recordLines) {
        std::string detail;
        for (std::size_t i = 0; i < std::max(writtenLines.size(), merge.comments.recordLines.size()); ++i) {
            const std::string held =
                i < merge.comments.recordLines.size() ? merge.comments.recordLines[i] : "-";
            const std::string read = i < writtenLines.size() ? writtenLines[i] : "-";
            if (held != read) {
                detail = "merged \"" + escaped(held) + "\", read back \"" + escaped(read) + "\"";
                break;
            }
        }
        fuzzFailure("Call3.txt does not read back into the merged records: " + detail);
    }
    // The same line can still read back into other values, when a value holds the field separator.
    const std::vector<std::string> writtenValues = recordKeys(written.records);
    for (std::size_t i = 0; i < writtenValues.size(); ++i) {
        fuzzCheck(writtenValues[i] == merge.comments.recordValues[i],
                  "a merged record reads back with other values: merged " + merge.comments.recordValues[i] +
                      ", read back " + writtenValues[i]);
    }
    std::set<std::string> writtenCalls;
    for (const auto& record : written.records) {
        writtenCalls.insert(record->call());
    }
    if (writtenCalls != expectedCalls) {
        std::string detail;
        for (const std::string& call : expectedCalls) {
            if (!writtenCalls.contains(call)) {
                detail += " lost " + escaped(call);
            }
        }
        for (const std::string& call : writtenCalls) {
            if (!expectedCalls.contains(call)) {
                detail += " gained " + escaped(call);
            }
        }
        fuzzFailure("the calls of Call3.txt are not those of both files:" + detail);
    }

    // Comment lines come through as comment lines, each as often as it was there.
    std::vector<std::string> writtenCommentTexts;
    for (const std::string& comment : written.comments) {
        std::string_view text = withoutLineFeed(comment);
        fuzzCheck(text.starts_with("// "), "a written comment lacks its \"// \": " + escaped(comment));
        text.remove_prefix(3);
        writtenCommentTexts.emplace_back(text);
    }
    const std::multiset<std::string> have(writtenCommentTexts.begin(), writtenCommentTexts.end());
    std::multiset<std::string> want = cleanedComments(database.comments);
    if (layout == databaseLayoutIndex) {
        want.merge(cleanedComments(input.comments));
    }
    for (const std::string& comment : want) {
        fuzzCheck(have.count(comment) >= want.count(comment),
                  "comment line \"" + escaped(comment) + "\" did not come through");
    }

    // The same input merged again has nothing new.
    Merge second;
    second.window.layout = layout;
    second.window.options = merge.window.options;
    second.resolve.takeInput = takeInput;
    second.dialog.workFolder = folder;
    const MergeOutcome secondOutcome = second.dialog.onMerge();
    fuzzCheck(secondOutcome == MergeOutcome::NoChanges || secondOutcome == MergeOutcome::Written,
              "the second merge ended with outcome " + std::to_string(static_cast<int>(secondOutcome)));
    fuzzCheck(second.dialog.insertedCount == 0,
              "the second merge of the same input inserted " + std::to_string(second.dialog.insertedCount));
    return 0;
}
