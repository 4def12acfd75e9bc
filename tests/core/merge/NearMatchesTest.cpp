// Calls that differ only by a portable mark or a country prefix are listed, and nothing else is.
#include "core/merge/NearMatches.h"

#include <gtest/gtest.h>

#include "support/RecordMaker.h"

namespace {

RecordList listOf(const std::vector<FieldDefinition>& layouts, std::vector<std::string> calls) {
    std::sort(calls.begin(), calls.end());
    RecordList list(&layouts[0]);
    for (const std::string& call : calls) {
        list.append(makeRecord(layouts[0], call + ",,,,,,"));
    }
    return list;
}

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

TEST(NearMatches, NewInputCallsMeetTheDatabaseCallsOfTheirStation) {
    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    const RecordList database = listOf(layouts, {"QA1ABC", "QB2XYZ/P", "QC3EME", "EA8/QD4AAA"});
    // QC3EME is in both: merged, not near; QE5EEE has no relative.
    const RecordList input =
        listOf(layouts, {"QA1ABC/P", "EA8/QA1ABC", "QB2XYZ", "QC3EME", "QD4AAA/M", "QE5EEE"});
    std::vector<std::string> found;
    for (const NearMatch& match : findNearMatches(database, input)) {
        found.push_back(std::string(match.input->call()) + "~" + std::string(match.database->call()));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"EA8/QA1ABC~QA1ABC", "QA1ABC/P~QA1ABC", "QB2XYZ~QB2XYZ/P",
                                               "QD4AAA/M~EA8/QD4AAA"}));
}
