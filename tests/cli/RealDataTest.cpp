// Merges of real published databases, both ways round: nothing lost, nothing garbled, the calls in
// order, and a second merge of the same list changes no record.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <ranges>
#include <sstream>

#include "cli/CliRun.h"
#include "core/calldata/CallFileReader.h"
#include "core/calldata/CallRecord.h"
#include "core/calldata/TextEncoding.h"
#include "support/TestFolder.h"

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

std::string upper(std::string text) {
    for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

// The record lines of a file, in file order, each with its call sign and without its line end.
Lines recordLines(const std::string& bytes) {
    Lines records;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        const std::string_view trimmed = trimWhiteSpace(line);
        std::string call = upper(std::string(trimmed.substr(0, trimmed.find(','))));
        if (isValidCall(call)) {
            records.emplace_back(std::move(call), std::move(line));
        }
    }
    return records;
}

// The seven fields of a line and, last, everything from its seventh comma on.
std::array<std::string, 8> fieldsOf(const std::string& line) {
    std::array<std::string, 8> fields;
    std::size_t start = 0;
    for (std::size_t n = 0; n < 7 && start <= line.size(); ++n) {
        const std::size_t comma = std::min(line.find(',', start), line.size());
        fields[n] = line.substr(start, comma - start);
        start = comma + 1;
    }
    fields[7] = start <= line.size() ? line.substr(start - 1) : std::string();
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
    const std::string inputPath = (real / GetParam().second).string();
    auto input = readBytes(inputPath);
    ASSERT_TRUE(database && input);
    // The list's values arrive in the database's encoding.
    if (hasNonAscii(*database)) {
        *input =
            convertEncoding(*input, inspectCallText(*input).encoding, inspectCallText(*database).encoding);
    }
    TestFolder folder;
    folder.write("Call3.txt", *database);
    const CliRun first = runIn(folder.path(), {inputPath});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string result = folder.read("Call3.txt");

    // CR LF ends every line, and no CR of a CR LF input is left inside a value.
    std::size_t badLineEnds = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        badLineEnds += (result[i] == '\r') != (result[i + 1] == '\n');
    }
    EXPECT_EQ(badLineEnds, 0u);
    EXPECT_TRUE(result.ends_with("\r\nZZZZZZ,End-Of-Callsign-Database\r\n"));

    // Every call of both files, once each and in order; the first line of a call counts.
    const Lines databaseLines = recordLines(*database);
    const Lines inputLines = recordLines(*input);
    const std::map<std::string, std::string> fromDatabase(databaseLines.begin(), databaseLines.end());
    const std::map<std::string, std::string> fromInput(inputLines.begin(), inputLines.end());
    const Lines merged = recordLines(result);
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
            const bool same = n == 1 ? upper(written[n]) == upper(want) : written[n] == want;
            if ((!want.empty() || n == 7) && !same && changed++ < 5) {
                ADD_FAILURE() << "field " << n << " should be " << want << " in\n  " << line;
            }
            nonAscii += std::any_of(want.begin(), want.end(), [](char c) { return (c & 0x80) != 0; });
        }
    }
    EXPECT_EQ(changed, 0u);
    EXPECT_GT(nonAscii, 0u) << "no value with non-ASCII bytes was compared";
    const std::string added = "   " + std::to_string(allCalls.size() - fromDatabase.size()) + " new entries";
    EXPECT_NE(first.out.find(added), std::string::npos) << first.out;

    ASSERT_EQ(runIn(folder.path(), {inputPath}).status, 0);
    EXPECT_EQ(recordLines(folder.read("Call3.txt")), merged);
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

}  // namespace
