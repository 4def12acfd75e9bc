// Reading callsign files: call order, duplicates, comments, the end marker, encodings and progress.
#include "core/calldata/CallFileReader.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

using Strings = std::vector<std::string>;
using namespace std::string_literals;

// Reads into its own lists and is the progress display of the reading.
class CallFileReaderTest : public testing::Test, public ProgressDisplay {
  protected:
    void setRange(std::size_t maximum) override { range = maximum; }
    void setPosition(std::size_t at) override { position = at; }
    void setLabel(const std::string& text) override { label = text; }

    ReadResult read(std::string_view bytes) {
        records.clear();
        comments.clear();
        return readCallText(records, comments, std::make_shared<const FileText>(bytes), layouts[0],
                            "Call3.txt", *this);
    }
    Strings calls() const {
        Strings result;
        for (const auto& record : records) {
            result.emplace_back(record->call());
        }
        return result;
    }

    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    RecordList records;
    Strings comments;
    std::size_t range = 999;
    std::size_t position = 999;
    std::string label;
};

// A NUL byte is an ordinary byte; a Ctrl-Z ends the file only when nothing but line ends and Ctrl-Z
// follow it; a file with CRs but no LF at all has its lines end at CR.
TEST_F(CallFileReaderTest, ReadsRecordsInCallOrderAndKeepsCommentsAsRead) {
    std::string longStation(10 << 20, 'x');
    longStation[5] = '\0';
    const std::tuple<std::string, Strings, Strings, std::size_t> cases[] = {
        {"QC3CCC,,,,first,,\r\n  // comment  \r\nqa1aaa,,,,,,\nQC3CCC,,,,second,,\n\n   \t \n"
         "ZZZZZZ,End-Of-Callsign-Database\r\n   ZZZZZZ\n// ZZZZZZ stays\n"
         "QA1AAA/P,,,,,,\nQA12BC,,,,,,\nQA1/P,,,,,,",
         {"QA1/P", "QA12BC", "QA1AAA", "QA1AAA/P", "QC3CCC"},
         {"  // comment  \n", "\n", "   \t \n", "// ZZZZZZ stays\n"},
         12},
        {"QA1AAA,,,,,,\r\n\x1A\r\n", {"QA1AAA"}, {}, 1},  // a Ctrl-Z after the last line ends the file
        {"QA1AAA,,,,,,\r\n\x1AQB2BBB,,,,,,\nQC3CCC,,,,,,", {"QA1AAA", "QC3CCC"}, {"\x1AQB2BBB,,,,,,\n"}, 3},
        {"QA1AAA,,,,,,\x1A\r\n\x1A\x1A\n", {"QA1AAA"}, {}, 1},
        {"QB2BBB,,,,,,\r\rqa1aaa,,,,\x1A,,\r// c\r\x1A", {"QA1AAA", "QB2BBB"}, {"\n", "// c\n"}, 4},
        {"QA1AAA,,,,,,\r// no line end", {"QA1AAA"}, {"// no line end"}, 2},
        {"// a\0b\nQA1AAA,,,,,,\n"s, {"QA1AAA"}, {"// a\0b\n"s}, 2},
        {"", {}, {}, 0},
        {"// no line feed", {}, {"// no line feed"}, 1},
        {std::string(70000, '\n'), {}, Strings(70000, "\n"), 70000},  // more lines than 16 bits count
        {"QA1AAA,,,,,," + longStation + "\nQB2BBB,,,,,,\n", {"QA1AAA", "QB2BBB"}, {}, 2},
    };
    for (const auto& [bytes, expectedCalls, expectedComments, lines] : cases) {
        EXPECT_TRUE(read(bytes).opened);
        EXPECT_EQ(calls(), expectedCalls) << bytes.substr(0, 40);
        EXPECT_EQ(comments, expectedComments) << bytes.substr(0, 40);
        EXPECT_EQ(range, lines);
        EXPECT_EQ(position, lines);
    }
    EXPECT_EQ(records.at(0).getStation(), longStation);
    EXPECT_EQ(label, "Loading Call3.txt");
}

TEST_F(CallFileReaderTest, NotesTheLinesItLeftOutAndTheCommentLinesByNumber) {
    // Line 4 repeats the call of line 1 and line 6 that of line 5 (a line that had to be cut); CR LF ends.
    const ReadResult result = read(
        "QB2BBB,,,,first,,\r\n// note\r\nQA1AAA,,,,,,\r\n  QB2BBB,,,,second,,\r\n"
        "qc3ccc,,,,,,\r\nQC3CCC,,,,again,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");
    ASSERT_EQ(result.duplicates.size(), 2u);
    EXPECT_EQ(result.duplicates[0].line, 4u);
    EXPECT_EQ(result.duplicates[0].text, "QB2BBB,,,,second,,");
    EXPECT_EQ(result.duplicates[0].keptLine, 1u);
    EXPECT_EQ(result.duplicates[0].keptText, "QB2BBB,,,,first,,");
    EXPECT_EQ(result.duplicates[1].line, 6u);
    EXPECT_EQ(result.duplicates[1].keptText, "qc3ccc,,,,,,");
    EXPECT_EQ(result.commentLines, (std::vector<std::uint32_t>{2}));  // the end marker is no comment
    EXPECT_EQ(lineNumbersOf("a\rb\rc", {0, 2, 4}), (std::vector<std::uint32_t>{1, 2, 3}));  // CR ends
}

// The state is upper-cased in the file's encoding; a byte-order mark says UTF-8 and is no part of the line.
TEST_F(CallFileReaderTest, UpperCasesStatesWithoutBreakingUtf8Characters) {
    const ReadResult windows = read("qa1aaa,,,\xE4z,,,\n");
    EXPECT_TRUE(windows.encoding == TextEncoding::Windows1252 && !windows.hadByteOrderMark);
    EXPECT_EQ(records.at(0).getState(), "\xC4Z");
    const ReadResult utf8 = read("\xEF\xBB\xBF  qa1aaa,,,\xC3\xA4z\xE2\x82\xAC\xC3\x9C,,,\r\n");
    EXPECT_TRUE(utf8.encoding == TextEncoding::Utf8 && utf8.hadByteOrderMark);
    EXPECT_EQ(records.at(0).getState(), "\xC3\xA4Z\xE2\x82\xAC\xC3\x9C");
    EXPECT_EQ(records.at(0).line(), "qa1aaa,,,\xC3\xA4z\xE2\x82\xAC\xC3\x9C,,,");
}

// Columns count the file's own bytes; the values are converted after cutting, the state upper-cased as the
// target file would be, and comments converted too.
TEST_F(CallFileReaderTest, ConvertsToTheEncodingOfTheFileTheRecordsWillJoin) {
    const std::string utf8 =
        "QA1AAA JO20aa  \xC3\xA4"
        "b  J\xC3\xBCrgen  me@x\n// \xE2\x82\xAC\n";
    comments = {"// kept\n"};  // appended to
    const ReadResult converted = readCallText(records, comments, std::make_shared<const FileText>(utf8),
                                              layouts[2], "Input File", *this, TextEncoding::Windows1252);
    EXPECT_EQ(converted.encoding, TextEncoding::Windows1252);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records.at(0).getName(), "J\xFCrgen");
    EXPECT_EQ(records.at(0).getEmail(), "me@x");
    EXPECT_EQ(records.at(0).getState(), "\xC4\x42");
    EXPECT_EQ(comments, (Strings{"// kept\n", "// \x80\n"}));
    EXPECT_EQ(label, "Loading Input File");
    // Plain ASCII needs no conversion and keeps its own encoding.
    const auto ascii = std::make_shared<const FileText>("QA1AAA,,,,,,\n");
    records.clear();
    EXPECT_EQ(readCallText(records, comments, ascii, layouts[0], "-", *this, TextEncoding::Utf8).encoding,
              TextEncoding::Windows1252);
}

// Many calls over two letters share long starts, so that the ordering goes down every byte of the prefix
// and past it; a repeated call keeps its first line, however its call was written.
TEST_F(CallFileReaderTest, ShuffledCallsWithLongSharedStartsComeInOrderWithTheirFirstLines) {
    std::mt19937 random(7);
    std::map<std::string, std::string> firstNames;
    std::string bytes;
    for (int n = 0; n < 30000; ++n) {
        std::string call = "QA1";
        for (auto length = random() % 11; length > 0; --length) {
            call += random() % 2 == 0 ? 'A' : 'B';
        }
        const std::string name = "n" + std::to_string(n);
        firstNames.emplace(call, name);
        bytes += (random() % 4 == 0 ? "qa1" + call.substr(3) : call) + ",,,," + name + ",,\n";
    }
    read(bytes);
    ASSERT_EQ(records.size(), firstNames.size());
    auto expected = firstNames.begin();
    for (const auto& record : records) {
        ASSERT_EQ(record->call(), expected->first);
        ASSERT_EQ(record->getName(), expected->second) << expected->first;
        ++expected;
    }
}
