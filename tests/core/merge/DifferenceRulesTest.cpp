// The automatic conversions and the difference test, run on one matched pair as the engine runs them.
#include <gtest/gtest.h>

#include <sstream>

#include "core/merge/DifferenceRules.h"
#include "support/RecordMaker.h"

TEST(DifferenceRules, ConvertsThenComparesEachPairAsTheOptionsSay) {
    // The input's layout (the database record's is always the database layout), the database record, the
    // input record in its layout's field order, the options ("+name" on, "-name" off), whether a conversion
    // was made, whether the pair still differs, and the database record after ("": unchanged).
    const std::tuple<int, const char*, const char*, const char*, bool, bool, const char*> cases[] = {
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
        {2, "QA1ABC,,EME,,,,6M:5", "QA1ABC,AB12,XY,Bob,b@x", "", true, false,
         "QA1ABC,AB12,EME,XY,Bob,b@x,6M:5"},
    };
    const auto layouts = buildFieldDefinitions();
    for (const auto& [layout, databaseLine, inputLine, optionWords, applied, different, after] : cases) {
        SCOPED_TRACE(std::string(databaseLine) + " / " + inputLine + " " + optionWords);
        auto database = makeRecord(layouts[0], databaseLine);
        const auto input = makeRecord(layouts[static_cast<std::size_t>(layout)], inputLine);
        MergeOptions options;
        std::istringstream words(optionWords);
        for (std::string word; words >> word;) {
            *options.member(word.substr(1)) = word[0] == '+';
        }
        EXPECT_EQ(applyConversions(database, input, options), applied);
        EXPECT_EQ(isDifferent(database, input, options), different);
        EXPECT_EQ(database.databaseLine(), *after != '\0' ? after : databaseLine);
    }
}
