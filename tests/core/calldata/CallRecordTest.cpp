// Cutting lines into records, call-sign shape, named field access and the record conversions.
#include "core/calldata/CallRecord.h"

#include <gtest/gtest.h>

namespace {

const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
using Values = std::vector<std::string>;

CallRecord parsed(std::size_t layout, std::string line) {
    CallRecord record(&layouts.at(layout));
    record.cutOwnLine(std::move(line));
    return record;
}

// Columns: Call 0, Grid 7, State 15, Name 19, then Email 28, or P1 27, P2 32, P3 37, P4 42 and Email 48.
const std::string nohrLine = "qa1abc jo12AB  xy  Abc Def  a@b.c";
const std::string bandLine = "qa1abc jo12ab  xy  Abc     5    0    x    2     a@b.c";

TEST(CallRecordParseLine, CutsEachLayoutIntoNormalisedValuesOrMakesACommentAndKeepsExtraFields) {
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
    // A column value never splits a UTF-8 character (this one straddles columns 18 and 19) nor holds a
    // comma: either would shift or break the fields once written to the comma-delimited database.
    CallRecord record(&layouts.at(2));
    record.cutOwnLine(
        "QA1ABC JO12ab  ABC\xC3\xA4"
        "Doe,J   a@b.c",
        TextEncoding::Utf8);
    EXPECT_EQ(record.values(), (Values{"QA1ABC", "JO12ab", "ABC\xC3\xA4", "Doe;J", "a@b.c"}));
    EXPECT_EQ(parsed(0, "QA1ABC,,,,Doe,J,").getName(), "Doe");  // comma lines cut at every comma
    // Fields after the seventh are written back unchanged.
    for (const std::string line : {"QA1ABC,,EME,XY,Abc,,", "QA1ABC,AB12cd,,XY,Abc,a@b,6M:1,2023-01-05,x",
                                   "QA1ABC,,,,,,,2023", "QA1ABC,,,,,,6M:1,", "QA1ABC,,,,,,,,"}) {
        EXPECT_EQ(parsed(0, line).databaseLine(), line);
    }
    EXPECT_EQ(parsed(0, "QA1ABC,,,,,,6M:1,2023").extraFields(), ",2023");
    EXPECT_EQ(parsed(0, "QA1ABC,JO12").databaseLine(), "QA1ABC,JO12,,,,,");
}

// A record's values may be a view of its line, of a file's text or of its own: copies and moves must take
// them along, whatever the call's length, and leave nothing behind in what was moved from. The match
// (only records of the difference list have one) goes along too and stays through edits.
TEST(CallRecordText, CopiesAndMovesTakeTheValuesAndTheMatchAlong) {
    CallRecord database = parsed(0, "QA1ABC,,,,,,");
    for (const std::size_t size : {6U, 70000U}) {
        const std::string call = "QA1" + std::string(size - 3, 'B');
        const std::string line = call + ",JO12ab,,XY,Abc,a@b,6M:1,2023";
        CallRecord plain = parsed(0, line);
        CallRecord cut = parsed(0, "q" + line.substr(1));  // values of its own
        CallRecord shared(&layouts.at(0));
        shared.cutLine(line, TextEncoding::Windows1252);
        for (CallRecord* record : {&plain, &cut, &shared}) {
            EXPECT_EQ(record->match(), nullptr);
            record->setMatch(&database);
            CallRecord copy = *record, assigned, moved = std::move(*record), moveAssigned;
            assigned = copy;
            moveAssigned = std::move(moved);
            for (const CallRecord* kept : {&copy, &assigned, &moveAssigned}) {
                EXPECT_TRUE(kept->call() == call && kept->databaseLine() == line) << size;
                EXPECT_EQ(kept->match(), &database);
            }
            EXPECT_TRUE(record->call().empty() && moved.values().empty());
            moveAssigned.setField("Name", "Bob,Jr");  // a comma would shift the fields after it
            EXPECT_TRUE(moveAssigned.databaseLine() == call + ",JO12ab,,XY,Bob;Jr,a@b,6M:1,2023");
            EXPECT_TRUE(copy.databaseLine() == line);
            moveAssigned.copyFrom(copy);  // values only
            EXPECT_TRUE(moveAssigned.databaseLine() == line && moveAssigned.match() == &database);
            copy.setMatch(nullptr);
            EXPECT_TRUE(copy.match() == nullptr && assigned.match() == &database);
        }
    }
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

// The station text of an old-layout record is made from its four band values, each read as the low 16 bits
// of its leading number.
TEST(CallRecordStation, BandsJoinAsStationTextForComparingAndConverting) {
    const std::array<const char*, 5> bands[] = {
        // P1 to P4, then the text
        {"5", "0", "3", "0", "6M:5 222:3"},
        {"0", "0", "0", "7", "432:7"},
        {"1", "2", "3", "4", "6M:1 2M:2 222:3 432:4"},
        {"0", "", "abc", "  0", ""},
        {"12abc", "-1", "65537", " +4", "6M:12 2M:65535 222:1 432:4"},
        {"100000000000000000001", "", "", "", "6M:1"},
    };
    for (const auto& [p1, p2, p3, p4, text] : bands) {
        CallRecord record(&layouts[1]);
        record.assignValues({"QA1ABC", "", "", "", p1, p2, p3, p4, ""});
        EXPECT_EQ(record.stationFromBands(), text) << p1 << '|' << p2 << '|' << p3 << '|' << p4;
    }

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

    CallRecord converted(&layouts[0]);
    converted.convertFrom(parsed(1, bandLine));
    EXPECT_EQ(converted.values(), (Values{"QA1ABC", "JO12ab", "", "XY", "Abc", "a@b.c", "6M:5 432:2"}));
    EXPECT_TRUE(converted.line().empty());
    // A value that is literally "unknown" counts as absent.
    converted.convertFrom(parsed(0, "QA1ABC,JO12,EME,XY,unknown,,unknown"));
    EXPECT_EQ(converted.databaseLine(), "QA1ABC,JO12,EME,XY,,,");
}

}  // namespace
