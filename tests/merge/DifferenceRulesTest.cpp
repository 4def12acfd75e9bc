// The automatic conversions and the difference test, run on one matched pair as the engine runs them.
#include <gtest/gtest.h>

#include <sstream>

#include "merge/DifferenceRules.h"
#include "support/RecordMaker.h"

namespace {

struct PairCase {
    int inputLayout;  // the database record always has the database layout
    const char* database;
    const char* input;    // values in the input layout's field order
    const char* options;  // "+name" turns an option on, "-name" off
    bool applied;
    bool different;
    const char* databaseAfter;  // "": unchanged
};

const PairCase pairCases[] = {
    {0, "QA1ABC,,,,,,", "QA1ABC,AB12,,,,,", "", true, false, "QA1ABC,AB12,,,,,"},
    {0, "QA1ABC,AB12,,,,,", "QA1ABC,AB34,,,,,", "", false, true, ""},
    {0, "QA1ABC,AB12,,,,,", "QA1ABC,AB34,,,,,", "+alwaysGrid", true, false, "QA1ABC,AB34,,,,,"},
    {0, "QA1ABC,AB12,,,,,", "QA1ABC,AB12,,,,,", "+alwaysGrid", true, false, ""},
    {0, "QA1ABC,,,,,,", "QA1ABC,AB12,,,,,", "-useGrid", false, true, ""},
    {0, "QA1ABC,AB12,EME,XY,Abc,a@x,6M:5", "QA1ABC,,,,,,", "", false, false, ""},
    {0, "QA1ABC,AB12,,,,,", "QA1ABC,,,,,,", "+differentIfInputEmpty", false, true, ""},
    {0, "QA1ABC,,,,Abc,,", "QA1ABC,,,,Abc*,,", "", false, true, ""},
    {0, "QA1ABC,,,,Abc,,", "QA1ABC,,,,Abc**,,", "+ignoreNameStar", false, false, ""},
    {0, "QA1ABC,,,,Abc,,", "QA1ABC,,,,Abc* ,,", "+ignoreNameStar", false, true, ""},
    {0, "QA1ABC,,,,,,", "QA1ABC,,,,Abc*,,", "", true, false, "QA1ABC,,,,Abc*,,"},
    {0, "QA1ABC,,,,,a@x,", "QA1ABC,,,,,A@x,", "", false, true, ""},
    {0, "QA1ABC,,,XY,,,", "QA1ABC,,,ZZ,,,", "+alwaysState", true, false, "QA1ABC,,,ZZ,,,"},
    {0, "QA1ABC,,,,,,", "QA1ABC,,EME,,,,", "", true, false, "QA1ABC,,EME,,,,"},
    {0, "QA1ABC,,EME,,,,", "QA1ABC,,EME,,,,", "", true, false, ""},
    {0, "QA1ABC,,EME,,,,", "QA1ABC,,,,,,", "+removeEme", true, false, "QA1ABC,,,,,,"},
    {1, "QA1ABC,,EME,,,,", "QA1ABC,,,,0,0,0,0,", "+removeEme", false, false, ""},
    {0, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,,,2M:1", "", false, true, ""},
    {0, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,,,2M:1", "+alwaysStation", true, false, "QA1ABC,,,,,,2M:1"},
    {1, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,5,0,0,0,", "", false, false, ""},
    {1, "QA1ABC,,,,,,6M:5 2M:1", "QA1ABC,,,,5,0,0,0,", "", false, true, ""},
    {1, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,0,0,0,0,", "", false, false, ""},
    {1, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,0,0,0,0,", "+differentIfInputEmpty", false, true, ""},
    {1, "QA1ABC,,,,,,", "QA1ABC,,,,0,3,0,0,", "", true, false, "QA1ABC,,,,,,2M:3"},
    {1, "QA1ABC,,,,,,6M:5", "QA1ABC,,,,0,3,0,0,", "+alwaysStation", true, false, "QA1ABC,,,,,,2M:3"},
    {2, "QA1ABC,,EME,,,,6M:5", "QA1ABC,AB12,XY,Bob,b@x", "", true, false, "QA1ABC,AB12,EME,XY,Bob,b@x,6M:5"},
};

}  // namespace

TEST(DifferenceRules, ConvertsThenComparesEachPairAsTheOptionsSay) {
    const auto layouts = buildFieldDefinitions();
    for (const PairCase& c : pairCases) {
        SCOPED_TRACE(std::string(c.database) + " / " + c.input + " " + c.options);
        const auto database = makeRecord(layouts[0], c.database);
        const auto input = makeRecord(layouts[static_cast<std::size_t>(c.inputLayout)], c.input);
        MergeOptions options;
        std::istringstream words(c.options);
        for (std::string word; words >> word;) {
            *options.member(word.substr(1)) = word[0] == '+';
        }
        EXPECT_EQ(applyConversions(*database, *input, options), c.applied);
        EXPECT_EQ(isDifferent(*database, *input, options), c.different);
        EXPECT_EQ(database->databaseLine(), *c.databaseAfter != '\0' ? c.databaseAfter : c.database);
    }
}
