// Writing "Call3.txt" safely: line form, the backup, the byte-order mark and failures that change nothing.
#include "calldata/DatabaseWriter.h"

#include <gtest/gtest.h>

#include <set>

#include "calldata/CallFileReader.h"
#include "support/TestFolder.h"

namespace {

const std::string oldDatabase = "QB2BBB,,,,,,\n// old\r\n\x1A";
const std::string olderBackup = "older backup\n";
const std::string expectedDatabase =
    "// head\r\n\r\nQA1AAA,AB12cd,EME,XY,Abc,,\r\nQB2BBB,,,,,,6M:1 2M:2,2024-01-01\r\n"
    "ZZZZZZ,End-Of-Callsign-Database\r\n";

const std::set<std::string> bothFiles{"Call3.bak", "Call3.txt"};

class DatabaseWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.write("Call3.txt", oldDatabase);
        folder.write("Call3.bak", olderBackup);
        for (const char* text :
             {"// head", "", "qa1aaa,ab12cd,,xy,Abc,,", "QB2BBB,,,,,,6M:1 2M:2,2024-01-01"}) {
            auto record = std::make_unique<CallRecord>(&layouts[0]);
            record->line = text;
            if (record->line.empty() || record->line.starts_with("//")) {
                record->isComment = true;  // as the comments dialog makes them
            } else {
                record->parseLine();
            }
            records.append(std::move(record));
        }
        records.at(2).setField("EME", "EME");
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    void expectUnchanged() const {
        EXPECT_EQ(folder.read("Call3.txt"), oldDatabase);
        EXPECT_EQ(files(), bothFiles);  // no temporary file left behind
    }

    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    TestFolder folder;
    RecordList records{&layouts[0]};
};

TEST_F(DatabaseWriterTest, WritesListOrderWithCrLfAndMovesTheOldFileToTheBackup) {
    EXPECT_TRUE(DatabaseWriter().write(records, folder.path(), false).ok);
    EXPECT_EQ(folder.read("Call3.txt"), expectedDatabase);
    EXPECT_EQ(folder.read("Call3.bak"), oldDatabase);
    EXPECT_EQ(files(), bothFiles);
}

TEST_F(DatabaseWriterTest, WritesTheByteOrderMarkBackWhenAsked) {
    ASSERT_TRUE(DatabaseWriter().write(records, folder.path(), true).ok);
    EXPECT_EQ(folder.read("Call3.txt"), std::string(utf8ByteOrderMark) + expectedDatabase);
}

TEST_F(DatabaseWriterTest, AFailedWriteLeavesBothFilesAsTheyWere) {
    for (const std::size_t limit : {std::size_t{0}, std::size_t{20}, expectedDatabase.size() - 1}) {
        DatabaseWriter writer;
        writer.failAfterBytes(limit);
        const WriteResult result = writer.write(records, folder.path(), false);
        EXPECT_FALSE(result.ok) << limit;
        EXPECT_EQ(result.failedStage, SafeFileWriter::Stage::Write);
        EXPECT_EQ(result.cause, 13);
        EXPECT_EQ(folder.read("Call3.bak"), olderBackup);
        expectUnchanged();
    }
    DatabaseWriter writer;
    writer.failAfterBytes(expectedDatabase.size());
    EXPECT_TRUE(writer.write(records, folder.path(), false).ok);
}

TEST_F(DatabaseWriterTest, ABackupNameHeldByAFolderStopsBeforeAnythingChanges) {
    std::filesystem::remove(folder / "Call3.bak");
    std::filesystem::create_directory(folder / "Call3.bak");
    folder.write("Call3.bak/keep.txt", "keep");
    const WriteResult result = DatabaseWriter().write(records, folder.path(), false);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedStage, SafeFileWriter::Stage::Backup);
    EXPECT_EQ(result.cause, 5);
    EXPECT_EQ(folder.read("Call3.bak/keep.txt"), "keep");
    expectUnchanged();
}

}  // namespace
