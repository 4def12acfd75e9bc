// Writing "Call3.txt" safely: line form, the backup, the byte-order mark and failures that change nothing.
#include "core/calldata/DatabaseWriter.h"

#include <gtest/gtest.h>

#include "core/calldata/CallFileReader.h"
#include "support/RecordMaker.h"
#include "support/TestFolder.h"

namespace {

const std::string oldDatabase = "QB2BBB,,,,,,\n// old\r\n\x1A";
const std::string expected =
    "// head\r\n\r\nQA1AAA,AB12cd,EME,XY,Abc,,\r\nQB2BBB,,,,,,6M:1 2M:2,2024-01-01\r\n"
    "ZZZZZZ,End-Of-Callsign-Database\r\n";

// Two comment lines and two records, and a folder that holds an old database and an older backup.
struct Rig {
    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    TestFolder folder;
    RecordList records{&layouts[0]};
    Rig() {
        folder.write("Call3.txt", oldDatabase);
        folder.write("Call3.bak", "older backup");
        for (const char* text :
             {"// head", "", "qa1aaa,ab12cd,,xy,Abc,,", "QB2BBB,,,,,,6M:1 2M:2,2024-01-01"}) {
            records.append(makeRecord(layouts[0], text));
        }
        records.at(2).setField("EME", "EME");
    }
    bool write(std::size_t limit, bool byteOrderMark = false) {
        DatabaseWriter writer;
        writer.seams.byteLimit = limit;
        // Told that every byte is written, a caller frees the records at once (the merge does so on a
        // second core): the new file must still come out whole. A write that runs out of space never gets
        // that far.
        const DatabaseWriter::Result result =
            writer.write(records, folder.path(), byteOrderMark, std::nullopt, [this] { records.clear(); });
        EXPECT_EQ(records.size() == 0, result.ok);
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.bak", "Call3.txt"}));  // nothing left over
        return result.ok;
    }
};

}  // namespace

// A write that needs one byte more than the disk has left fails and changes nothing.
TEST(DatabaseWriter, WritesAllOrNothingWithCrLfAndMovesTheOldFileToTheBackup) {
    for (const bool byteOrderMark : {false, true}) {
        Rig rig;
        const std::size_t size = expected.size() + (byteOrderMark ? 3 : 0);
        EXPECT_FALSE(rig.write(size - 1, byteOrderMark));
        EXPECT_EQ(rig.folder.read("Call3.txt"), oldDatabase);
        EXPECT_EQ(rig.folder.read("Call3.bak"), "older backup");
        EXPECT_TRUE(rig.write(size, byteOrderMark));
        EXPECT_EQ(rig.folder.read("Call3.txt"),
                  (byteOrderMark ? std::string(utf8ByteOrderMark) : "") + expected);
        EXPECT_EQ(rig.folder.read("Call3.bak"), oldDatabase);
    }
}
