// Whole merges of seeded random databases and inputs, checked against what must hold for any files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "calldata/CallFileReader.h"
#include "calldata/NullProgressDisplay.h"
#include "support/CallFileGenerator.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

constexpr int caseCount = 70;

struct Case {
    int number;
    int layout;
    MergeOptions options;
    bool saveAllNew;
    GeneratedFile database, input;
};

Case makeCase(int number) {
    SplitMix random{0x5EED0000ULL + static_cast<std::uint64_t>(number)};
    CallFileGenerator generator(random);
    Case made{number, static_cast<int>(random.below(3)), {}, random.chance(50), {}, {}};
    for (const auto& [name, member] : mergeOptionMembers) {
        made.options.*member = random.chance(50);
    }
    made.database = generator.file(0, 60);
    made.input = generator.file(made.layout, 40);
    return made;
}

// Bytes made visible, so that a failing case can be rebuilt from the test's output.
std::string shown(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            text += "\\n\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            text += "\\x" + std::string(1, "0123456789ABCDEF"[byte >> 4]) + "0123456789ABCDEF"[byte & 15];
        } else {
            text += c;
        }
    }
    return text;
}

std::string describe(const Case& c) {
    return "case " + std::to_string(c.number) + ", input layout " + std::to_string(c.layout) +
           (c.saveAllNew ? ", Save all New" : ", Save all Original") + "\n--- Call3.txt\n" +
           shown(c.database.bytes) + "\n--- in.txt\n" + shown(c.input.bytes);
}

struct ReadFile {
    std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    RecordList records;
    std::vector<std::string> comments;
    ReadFile(const std::string& bytes, int layout) {
        NullProgressDisplay progress;
        (void)readCallText(records, comments, bytes, layouts[static_cast<std::size_t>(layout)], "", progress);
    }
    [[nodiscard]] std::set<std::string> calls() const {
        std::set<std::string> calls;
        for (const auto& record : records) {
            calls.insert(record->call());
        }
        return calls;
    }
};

// A comment's text without the "//" marks and blanks the merge may add or take away.
std::string commentText(std::string_view line) {
    for (std::string_view before; before != line;) {
        before = line;
        line = trimWhiteSpace(line);
        if (line.starts_with("//")) {
            line.remove_prefix(2);
        }
    }
    return std::string(line);
}

// One merge of the case's input into the case's database, in a folder of its own.
struct Merged : MergeRig {
    TestFolder folder;
    MergeOutcome outcome;
    explicit Merged(const Case& c, bool dryRun = false) {
        dialog.workFolder = folder.path();
        dialog.dryRun = dryRun;
        dialog.options = c.options;
        window.layoutSelection = c.layout;
        resolve.button = c.saveAllNew ? &ResolveDialog::onSaveAllNew : &ResolveDialog::onSaveAllOriginal;
        folder.write("Call3.txt", c.database.bytes);
        folder.write("in.txt", c.input.bytes);
        outcome = dialog.onMerge();
    }
    // The lines of the written file, without their CR LF.
    [[nodiscard]] std::vector<std::string> lines() const {
        std::vector<std::string> lines;
        const std::string bytes = folder.read("Call3.txt");
        std::string_view text = bytes;
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        for (std::size_t end; (end = text.find("\r\n")) != text.npos; text.remove_prefix(end + 2)) {
            lines.emplace_back(text.substr(0, end));
        }
        EXPECT_TRUE(text.empty()) << "the last line lacks its CR LF";
        return lines;
    }
};

}  // namespace

TEST(MergeProperty, EveryCallOfBothFilesIsWrittenOnceInCallOrderAndReadsBackUnchanged) {
    for (int number = 0; number < caseCount; ++number) {
        const Case c = makeCase(number);
        SCOPED_TRACE(describe(c));
        Merged merge(c);
        ASSERT_TRUE(merge.outcome == MergeOutcome::Written || merge.outcome == MergeOutcome::NoChanges);
        const ReadFile database(c.database.bytes, 0), input(c.input.bytes, c.layout);
        const std::set<std::string> oldCalls = database.calls();
        std::set<std::string> expected = oldCalls;
        std::size_t newCalls = 0;
        for (const std::string& call : input.calls()) {
            newCalls += expected.insert(call).second ? 1 : 0;
        }
        EXPECT_EQ(merge.dialog.insertedCount, newCalls);
        if (merge.outcome == MergeOutcome::NoChanges) {
            EXPECT_EQ(newCalls, 0U);
            EXPECT_EQ(merge.folder.read("Call3.txt"), c.database.bytes);
            continue;
        }
        const std::vector<std::string> lines = merge.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), endMarkerLine);
        const ReadFile written(merge.folder.read("Call3.txt"), 0);
        std::vector<std::string> recordLines, rereadLines, calls;
        for (const std::string& line : lines) {
            ReadFile one(line, 0);
            if (!one.records.empty()) {
                recordLines.push_back(line);
                calls.push_back(one.records.at(0).call());
            }
        }
        // What is read back must be what the merge held, field by field, not merely the same bytes.
        std::vector<std::vector<std::string>> held, reread;
        for (const auto& record : written.records) {
            rereadLines.push_back(record->databaseLine());
            reread.push_back(record->values);
            reread.back().push_back(record->extraFields);
        }
        Merged dry(c, true);
        for (const auto& record : dry.dialog.databaseRecords) {
            if (!record->isComment) {
                held.push_back(record->values);
                held.back().push_back(record->extraFields);
            }
        }
        EXPECT_EQ(reread, held);
        // Strictly ascending calls: the order the reader would give them and no call twice.
        EXPECT_TRUE(std::adjacent_find(calls.begin(), calls.end(), std::greater_equal<>()) == calls.end());
        EXPECT_EQ(rereadLines, recordLines);
        EXPECT_EQ(written.calls(), expected);
        EXPECT_EQ(merge.dialog.writeCount, recordLines.size());
    }
}

TEST(MergeProperty, RecordsTheInputDoesNotNameCommentsAndTheBackupKeepTheirBytes) {
    for (int number = 0; number < caseCount; ++number) {
        const Case c = makeCase(number + caseCount);
        SCOPED_TRACE(describe(c));
        Merged merge(c);
        if (merge.outcome != MergeOutcome::Written) {
            EXPECT_EQ(merge.outcome, MergeOutcome::NoChanges);
            continue;
        }
        EXPECT_EQ(merge.folder.read("Call3.bak"), c.database.bytes);
        const ReadFile database(c.database.bytes, 0), input(c.input.bytes, c.layout);
        const std::set<std::string> inputCalls = input.calls();
        const std::vector<std::string> lines = merge.lines();
        const std::set<std::string> written(lines.begin(), lines.end());
        for (const auto& record : database.records) {
            const std::string& canonical = c.database.canonicalLines.at(record->call());
            if (!inputCalls.contains(record->call())) {
                EXPECT_TRUE(written.contains(record->databaseLine())) << record->databaseLine();
                EXPECT_TRUE(canonical.empty() || written.contains(canonical)) << canonical;
            }
        }
        // The comments come first, the database's before the input's; a column layout's comment may
        // read back as a station line, so only a comma input's comments are followed to the end.
        std::vector<std::string> expected, got;
        for (const std::string& comment : database.comments) {
            expected.push_back(commentText(comment));
        }
        for (std::size_t i = 0; i < input.comments.size() && c.layout == 0; ++i) {
            expected.push_back(commentText(input.comments[i]));
        }
        for (std::size_t i = 0; i + 1 < lines.size() && ReadFile(lines[i], 0).records.empty(); ++i) {
            got.push_back(commentText(lines[i]));
        }
        got.resize(std::min(got.size(), c.layout == 0 ? got.size() : database.comments.size()));
        EXPECT_EQ(got, expected);
    }
}

TEST(MergeProperty, MergingTheSameInputAgainAddsNothingAndKeepingTheOriginalChangesNoLine) {
    for (int number = 0; number < caseCount; ++number) {
        Case c = makeCase(number + 2 * caseCount);
        SCOPED_TRACE(describe(c));
        Merged first(c);
        c.database.bytes = first.folder.read("Call3.txt");
        c.saveAllNew = false;
        Merged second(c);
        EXPECT_EQ(second.dialog.insertedCount, 0U);
        if (first.outcome != MergeOutcome::Written) {
            EXPECT_EQ(second.outcome, MergeOutcome::NoChanges);
        } else if (second.outcome == MergeOutcome::Written) {
            std::vector<std::string> before = first.lines(), after = second.lines();
            std::erase_if(before, [](const std::string& line) { return ReadFile(line, 0).records.empty(); });
            std::erase_if(after, [](const std::string& line) { return ReadFile(line, 0).records.empty(); });
            EXPECT_EQ(after, before) << "auto " << second.dialog.autoCount;
        }
    }
}
