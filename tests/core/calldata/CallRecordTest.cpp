// Cutting lines into records, call-sign shape, named field access and the record conversions.
#include "core/calldata/CallRecord.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

const std::vector<FieldDefinition> layouts = buildFieldDefinitions();

CallRecord parsed(std::size_t layout, std::string line) {
    CallRecord record(&layouts.at(layout));
    record.cutOwnLine(std::move(line));
    return record;
}

// Columns: Call 0, Grid 7, State 15, Name 19, then Email 28, or P1 27, P2 32, P3 37, P4 42 and Email 48.
const std::string nohrLine = "qa1abc jo12AB  xy  Abc Def  a@b.c";
const std::string bandLine = "qa1abc jo12ab  xy  Abc     5    0    x    2     a@b.c";
using Values = std::vector<std::string>;

TEST(CallRecordParseLine, CutsEachLayoutIntoNormalisedValuesOrMakesAComment) {
    const std::tuple<std::size_t, std::string, Values> cases[] = {
        // no values: a comment line
        {0, "qa1abc,ab12cd,,xy,Abc,,", {"QA1ABC", "AB12cd", "", "XY", "Abc", "", ""}},
        {0, "QA1ABC,JO12,EME", {"QA1ABC", "JO12", "EME", "", "", "", ""}},
        // only the grid, or only the state, not yet in the database's form
        {0, "QA1ABC,jo12AB,,XY,Abc,,", {"QA1ABC", "JO12ab", "", "XY", "Abc", "", ""}},
        {0, "QA1ABC,JO12ab,,xY,Abc,,", {"QA1ABC", "JO12ab", "", "XY", "Abc", "", ""}},
        {0,
         " \tQA1ABC, jo12AB ,,x y,Abc Def,a@b,6M:1 2M:2 \r\n",
         {"QA1ABC", " JO12ab ", "", "X Y", "Abc Def", "a@b", "6M:1 2M:2"}},
        {0, "QA1ABC ,JO12", {}},
        {0, ",QA1ABC,JO12", {}},
        {2, nohrLine, {"QA1ABC", "JO12ab", "XY", "Abc", "a@b.c"}},
        {2, "   " + nohrLine + "  ", {"QA1ABC", "JO12ab", "XY", "Abc", "a@b.c"}},  // counted after the blanks
        {2, "QA1ABC         XY  Abc", {"QA1ABC", "", "XY", "Abc", ""}},
        {1, bandLine, {"QA1ABC", "JO12ab", "XY", "Abc", "5", "0", "x", "2", "a@b.c"}},
        {1, "QA1ABC JO12ab", {"QA1ABC", "JO12ab", "", "", "", "", "", "", ""}},
    };
    for (const auto& [layout, line, values] : cases) {
        const CallRecord record = parsed(layout, line);
        EXPECT_EQ(record.isComment(), values.empty()) << line;
        EXPECT_EQ(record.values(), values) << line;
    }
}

// Either would shift or break the fields once the values are written to the comma-delimited database.
TEST(CallRecordParseLine, ColumnValuesNeverSplitAUtf8CharacterNorHoldAComma) {
    CallRecord record(&layouts.at(2));
    record.cutOwnLine(
        "QA1ABC JO12ab  ABC\xC3\xA4"
        "Doe,J   a@b.c",  // the character straddles columns 18 and 19
        TextEncoding::Utf8);
    EXPECT_EQ(record.values(), (Values{"QA1ABC", "JO12ab", "ABC\xC3\xA4", "Doe;J", "a@b.c"}));
    EXPECT_EQ(parsed(0, "QA1ABC,,,,Doe,J,").getName(), "Doe");  // comma lines cut at every comma
}

// A record's values may be a view of its line, of a file's text or of its own: copies and moves must take
// them along, whatever the call's length, and leave nothing behind in what was moved from.
TEST(CallRecordText, ValuesOutliveTheTextTheyWereCutFrom) {
    for (const std::size_t size : {6U, 70000U}) {
        const std::string call = "QA1" + std::string(size - 3, 'B');
        const std::string line = call + ",JO12ab,,XY,Abc,a@b,6M:1,2023";
        std::string lower = line;
        lower[0] = 'q';
        CallRecord plain = parsed(0, line);
        CallRecord cut = parsed(0, lower);  // values of its own
        CallRecord shared(&layouts.at(0));
        shared.cutLine(line, TextEncoding::Windows1252);
        for (CallRecord* record : {&plain, &cut, &shared}) {
            const CallRecord copy = *record;
            CallRecord assigned;
            assigned = copy;
            CallRecord moved = std::move(*record);
            CallRecord moveAssigned;
            moveAssigned = std::move(moved);
            for (const CallRecord* kept : {&copy, static_cast<const CallRecord*>(&assigned),
                                           static_cast<const CallRecord*>(&moveAssigned)}) {
                EXPECT_TRUE(kept->call() == call) << size;
                EXPECT_TRUE(kept->databaseLine() == line) << size;
            }
            EXPECT_TRUE(record->call().empty() && moved.values().empty());
            moveAssigned.setField("Name", "Bob,Jr");  // a comma would shift the fields after it
            EXPECT_TRUE(moveAssigned.databaseLine() == call + ",JO12ab,,XY,Bob;Jr,a@b,6M:1,2023");
            EXPECT_TRUE(copy.databaseLine() == line);
        }
    }
}

// Only records of the difference list have a match; it stays through edits and goes with copies and moves.
TEST(CallRecordMatch, StaysThroughEditsAndGoesWithCopiesAndMoves) {
    CallRecord database = parsed(0, "QA1ABC,JO12ab,,XY,Abc,,");
    CallRecord input = parsed(0, "QA1ABC,JO12ab,,XY,Bob,,");
    EXPECT_EQ(input.match(), nullptr);
    input.setMatch(&database);
    input.setField("Name", "Carl");
    input.copyFrom(parsed(0, "QA1ABC,JO12ab,,XY,Dan,,"));  // values only: the match stays
    EXPECT_EQ(input.match(), &database);
    const CallRecord copy = input;
    CallRecord moved = std::move(input);
    EXPECT_EQ(copy.match(), &database);
    EXPECT_EQ(moved.match(), &database);
    EXPECT_EQ(moved.getName(), "Dan");
    moved.setMatch(nullptr);
    EXPECT_EQ(moved.match(), nullptr);
    EXPECT_EQ(copy.match(), &database);
}

TEST(CallRecordParseLine, FieldsAfterTheSeventhAreWrittenBackUnchanged) {
    for (const std::string line : {"QA1ABC,,EME,XY,Abc,,", "QA1ABC,AB12cd,,XY,Abc,a@b,6M:1,2023-01-05,x",
                                   "QA1ABC,,,,,,,2023", "QA1ABC,,,,,,6M:1,", "QA1ABC,,,,,,,,"}) {
        EXPECT_EQ(parsed(0, line).databaseLine(), line);
    }
    EXPECT_EQ(parsed(0, "QA1ABC,,,,,,6M:1,2023").extraFields(), ",2023");
    EXPECT_EQ(parsed(0, "QA1ABC,JO12").databaseLine(), "QA1ABC,JO12,,,,,");
}

TEST(CallRecordIsValidCall, NeedsOneOrTwoDigitsBeforeAnySlash) {
    for (const char* call :
         {"QA1ABC", "QA12BC", "QB7/QA1ABC", "QA1ABC/P", "Q9/QA1ABC", "QA1ABC/77", "qa1abc"}) {
        EXPECT_TRUE(isValidCall(call)) << call;
    }
    for (const char* call :
         {"QABCDE", "Q12345", "Q123BC", "Q1", "//", "Q//", "ZZZZZZ", "QA1-BC", "QA1 BC", "QA1\xC4"}) {
        EXPECT_FALSE(isValidCall(call)) << call;
    }
}

TEST(CallRecordFields, AFieldTheLayoutLacksReadsUnknownAndIsNeverWrittenAndNumbersKeep16Bits) {
    CallRecord record = parsed(2, nohrLine);
    const Values before = record.values();
    EXPECT_EQ(record.getEme() + record.getStation() + record.getP1(), "unknownunknownunknown");
    record.setField("EME", "EME");
    record.setFieldNumber("P1", 5);
    EXPECT_EQ(record.values(), before);
    EXPECT_FALSE(record.hasEmeFlag());
    record.setField("Name", "Xyz");
    EXPECT_EQ(record.getName(), "Xyz");
    for (const char* line : {"QA1ABC,,eme", "QA1ABC,, EME", "QA1ABC,,EME ,XY", "QA1ABC,,"}) {
        EXPECT_FALSE(parsed(0, line).hasEmeFlag()) << line;
    }
    EXPECT_TRUE(parsed(0, "QA1ABC,,EME").hasEmeFlag());
    CallRecord bands = parsed(1, "QA1ABC");
    const std::pair<long long, const char*> numbers[] = {
        {65535, "65535"}, {65536, "0"}, {70000, "4464"}, {-1, "65535"}};
    for (const auto& [number, text] : numbers) {
        bands.setFieldNumber("P2", number);
        EXPECT_EQ(bands.getP2(), text) << number;
    }
}

TEST(CallRecordSameAs, ComparesOwnFieldsAndBandTextForStation) {
    const CallRecord database = parsed(0, "QA1ABC,JO12ab,EME,XY,Abc,a@b.c,6M:5 432:2");
    CallRecord copy;
    copy.copyFrom(database);
    EXPECT_TRUE(copy.sameAs(database));
    copy.setField("Grid", "JO12ac");
    EXPECT_FALSE(copy.sameAs(database));

    EXPECT_TRUE(database.sameAs(parsed(1, bandLine)));
    EXPECT_FALSE(parsed(0, "QA1ABC,JO12ab,EME,XY,Abc,a@b.c,6M:5").sameAs(parsed(1, bandLine)));
    // Without band fields the station text is compared with the empty text; EME is not compared.
    EXPECT_FALSE(database.sameAs(parsed(2, nohrLine)));
    EXPECT_TRUE(parsed(0, "QA1ABC,JO12ab,EME,XY,Abc,a@b.c,").sameAs(parsed(2, nohrLine)));
    EXPECT_FALSE(parsed(0, "QA1ABC,JO12ab,,XY,Abd,a@b.c,").sameAs(parsed(2, nohrLine)));
}

TEST(CallRecordConvertFrom, FillsTheDatabaseLayoutFromOlderLayouts) {
    CallRecord converted(&layouts[0]);
    converted.convertFrom(parsed(1, bandLine));
    EXPECT_EQ(converted.values(), (Values{"QA1ABC", "JO12ab", "", "XY", "Abc", "a@b.c", "6M:5 432:2"}));
    EXPECT_TRUE(converted.line().empty());
    // A value that is literally "unknown" counts as absent.
    converted.convertFrom(parsed(0, "QA1ABC,JO12,EME,XY,unknown,,unknown"));
    EXPECT_EQ(converted.databaseLine(), "QA1ABC,JO12,EME,XY,,,");
}

}  // namespace
