// Merges of real published databases, both ways round: what holds for every merge holds, and the values of
// the database, or of the list where the database had none, arrive byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <ranges>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "core/calldata/TextEncoding.h"
#include "support/MergeInvariants.h"
#include "support/TestFolder.h"

namespace {

using Lines = std::map<std::string, std::string>;

// The record lines of a file by call sign, without their line ends; the first line of a call counts.
Lines recordLines(const std::string& bytes) {
    Lines records;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        const std::string_view trimmed = trimWhiteSpace(line);
        std::string call = asciiLowerCase(trimmed.substr(0, trimmed.find(',')));
        if (isValidCall(call)) {
            records.emplace(std::move(call), std::move(line));
        }
    }
    return records;
}

// The seven fields of a line and, last, everything from its seventh comma on.
std::array<std::string, 8> fieldsOf(const std::string& line) {
    std::array<std::string, 8> fields;
    const std::vector<std::string> columns = columnsOf(line);
    for (std::size_t n = 0; n < columns.size(); ++n) {
        if (n < 7) {
            fields[n] = columns[n];
        } else {
            fields[7] += ',' + columns[n];
        }
    }
    return fields;
}

// The database and the list merged into it.
class RealData : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(RealData, MergeKeepsEveryCallAndEveryByteItDoesNotChange) {
    const std::filesystem::path real(VELKMERGE_SHARED_DATA_DIR);
    if (!std::filesystem::is_directory(real)) {
        GTEST_SKIP() << "the real databases are not beside the project";
    }
    const auto database = readBytes(real / GetParam().first);
    const auto input = readBytes(real / GetParam().second);
    ASSERT_TRUE(database && input);
    TestFolder folder;
    ASSERT_EQ(invariants::mergeFault({*database, *input, 0, {}, false}, folder.path(), true), "");

    // Every call of both files, and the list's values in the database's encoding.
    const Lines fromDatabase = recordLines(*database);
    const Lines fromInput =
        recordLines(hasNonAscii(*database) ? convertEncoding(*input, inspectCallText(*input).encoding,
                                                             inspectCallText(*database).encoding)
                                           : *input);
    const Lines merged = recordLines(folder.read("Call3.txt"));
    auto allCalls = fromDatabase;
    allCalls.insert(fromInput.begin(), fromInput.end());
    ASSERT_TRUE(std::ranges::equal(std::views::keys(allCalls), std::views::keys(merged)))
        << allCalls.size() << " calls in the two files, " << merged.size() << " written";

    // Grid (up to letter case), Name, Email and Station of the database, or of the input where the
    // database had none, and everything after the seventh field arrive byte for byte.
    std::size_t changed = 0;
    std::size_t nonAscii = 0;
    for (const auto& [call, line] : merged) {
        const auto inDatabase = fromDatabase.find(call);
        const auto inInput = fromInput.find(call);
        const auto own = fieldsOf(inDatabase != fromDatabase.end() ? inDatabase->second : inInput->second);
        const auto other = inInput != fromInput.end() ? fieldsOf(inInput->second) : own;
        const auto written = fieldsOf(line);
        for (const std::size_t n : {1, 4, 5, 6, 7}) {
            const std::string want = own[n].empty() && n != 7 ? other[n] : own[n];
            const bool same =
                n == 1 ? asciiLowerCase(written[n]) == asciiLowerCase(want) : written[n] == want;
            if ((!want.empty() || n == 7) && !same && changed++ < 5) {
                ADD_FAILURE() << "field " << n << " should be " << want << " in\n  " << line;
            }
            nonAscii += std::any_of(want.begin(), want.end(), [](char c) { return (c & 0x80) != 0; });
        }
    }
    EXPECT_EQ(changed, 0u);
    EXPECT_GT(nonAscii, 0u) << "no value with non-ASCII bytes was compared";
}

// Older databases take newer lists and the other way round; the CR LF file is both.
INSTANTIATE_TEST_SUITE_P(Published, RealData,
                         testing::Values(std::pair{"call3-2005.txt", "call3-2009.txt"},
                                         std::pair{"call3-2009.txt", "call3-2005.txt"},
                                         std::pair{"call3-2006-crlf.txt", "call3-2024.txt"},
                                         std::pair{"call3-2024.txt", "call3-2006-crlf.txt"}),
                         [](const auto& info) {
                             return info.param.second.substr(6, 4) + "Into" + info.param.first.substr(6, 4);
                         });

// The 2009 list into the 2005 database: the report shows what was left out and what nearly met, each by its
// line; merging the list a second time adds no comment line.
TEST(RealDataReport, ShowsDroppedLinesCommentLinesAndNearMatchesAndCommentsDoNotPileUp) {
    const std::filesystem::path real(VELKMERGE_SHARED_DATA_DIR);
    if (!std::filesystem::is_directory(real)) {
        GTEST_SKIP() << "the real databases are not beside the project";
    }
    TestFolder folder;
    folder.write("Call3.txt", *readBytes(real / "call3-2005.txt"));
    folder.write("list.txt", *readBytes(real / "call3-2009.txt"));
    const CliRun first = runIn(folder.path(), {"--report", "-", "list.txt"});
    ASSERT_EQ(first.status, 0) << first.err;
    const nlohmann::json report = nlohmann::json::parse(first.out);
    ASSERT_EQ(report["duplicates"].size(), 4u);
    EXPECT_EQ(report["duplicates"][1]["line"], 4230);
    EXPECT_EQ(report["duplicates"][1]["keptLine"], 4229);
    EXPECT_EQ(report["duplicates"][1]["text"], "SM3JGG,JP71TJ,,,,,FT-847 250watt 15el,07/07");
    EXPECT_EQ(report["commentLines"][0]["line"], 1);
    EXPECT_EQ(report["commentLines"][0]["file"], "Call3.txt");
    ASSERT_GE(report["nearMatches"].size(), 20u);
    for (const auto& match : report["nearMatches"]) {
        EXPECT_EQ(match["input"]["file"], "list.txt");
        EXPECT_TRUE(match["input"]["line"].is_number() && match["database"]["line"].is_number()) << match;
    }
    const auto commentCount = [&] {
        std::istringstream text(folder.read("Call3.txt"));
        std::size_t comments = 0;
        for (std::string line; std::getline(text, line);) {
            comments += line.starts_with("//") ? 1 : 0;
        }
        return comments;
    };
    const auto before = commentCount();
    ASSERT_EQ(runIn(folder.path(), {"-q", "list.txt"}).status, 0);
    EXPECT_EQ(commentCount(), before);
}

}  // namespace
