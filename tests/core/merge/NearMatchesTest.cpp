// Calls that differ only by a portable mark or a country prefix are listed, and nothing else is.
#include "core/merge/NearMatches.h"

#include <gtest/gtest.h>

#include "core/calldata/CallFileReader.h"
#include "core/calldata/NullProgressDisplay.h"

namespace {

const std::vector<FieldDefinition> layouts = buildFieldDefinitions();

// A list read from its lines as a merge reads it, and what the reading noted.
struct Read {
    RecordList list{&layouts[0]};
    ReadResult result;
    explicit Read(const std::string& text) {
        std::vector<std::string> comments;
        NullProgressDisplay progress;
        result =
            readCallText(list, comments, std::make_shared<const FileText>(text), layouts[0], "-", progress);
    }
};

}  // namespace

TEST(NearMatches, BaseCallsLeaveOutPortableMarksAndCountryPrefixes) {
    const std::pair<const char*, const char*> cases[] = {
        {"QA1ABC", "QA1ABC"},     {"QA1ABC/P", "QA1ABC"},      {"QA1ABC/QRP", "QA1ABC"},
        {"EA8/QA1ABC", "QA1ABC"}, {"EA8/QA1ABC/MM", "QA1ABC"}, {"QA1ABC/7", "QA1ABC"},
        {"QA1AB/A", "QA1AB"}};
    for (const auto& [call, base] : cases) {
        EXPECT_EQ(baseCall(call), base) << call;
    }
}

// Each pair with the line numbers of both calls; the first line of a repeated call counts.
TEST(NearMatches, NewInputCallsMeetTheDatabaseCallsOfTheirStation) {
    const Read database("QA1ABC,,,,,,\nQB2XYZ/P,,,,,,\nQC3EME,,,,,,\nEA8/QD4AAA,,,,,,\n");
    // QC3EME is in both: merged, not near; QE5EEE has no relative.
    const Read input(
        "QE5EEE,,,,,,\nQB2XYZ,,,,,,\nQA1ABC/P,,,,,,\nQC3EME,,,,,,\nQA1ABC/P,,,,,,\n"
        "EA8/QA1ABC,,,,,,\nqd4aaa/m,,,,,,\n");
    std::vector<std::string> found;
    for (const NearMatch& match : findNearMatches(database.list, database.result, input.list, input.result)) {
        found.push_back(std::string(match.input.call) + ":" + std::to_string(match.input.line) + "~" +
                        std::string(match.database.call) + ":" + std::to_string(match.database.line));
    }
    // Lines the reading did not note, of calls without a slash, are counted later from the text.
    EXPECT_EQ(found, (std::vector<std::string>{"EA8/QA1ABC:6~QA1ABC:0", "QA1ABC/P:3~QA1ABC:0",
                                               "QB2XYZ:0~QB2XYZ/P:2", "QD4AAA/M:7~EA8/QD4AAA:4"}));
}
