// Writing "Call3.txt" safely: line form, the backup, the byte-order mark and failures that change nothing.
#include "core/calldata/DatabaseWriter.h"

#include <gtest/gtest.h>

#include "core/calldata/CallFileReader.h"
#include "support/RecordMaker.h"
#include "support/TestFolder.h"

// A write that needs one byte more than the disk has left fails and changes nothing. Told that every byte is
// written, a caller frees the records at once (the merge does so on a second core): the new file must still
// come out whole; a write that runs out of space never gets that far.
TEST(DatabaseWriter, WritesAllOrNothingWithCrLfAndMovesTheOldFileToTheBackup) {
    const std::string old = "QB2BBB,,,,,,\n// old\r\n\x1A";
    const std::string written =
        "// head\r\n\r\nQA1AAA,AB12cd,EME,XY,Abc,,\r\nQB2BBB,,,,,,6M:1 2M:2,2024-01-01\r\n"
        "ZZZZZZ,End-Of-Callsign-Database\r\n";
    const auto layouts = buildFieldDefinitions();
    for (const bool byteOrderMark : {false, true}) {
        const std::string bytes = (byteOrderMark ? std::string(utf8ByteOrderMark) : "") + written;
        for (const std::size_t limit : {bytes.size() - 1, bytes.size()}) {
            TestFolder folder;
            folder.write("Call3.txt", old);
            folder.write("Call3.bak", "older backup");
            RecordList records{&layouts[0]};
            for (const char* text :
                 {"// head", "", "qa1aaa,ab12cd,,xy,Abc,,", "QB2BBB,,,,,,6M:1 2M:2,2024-01-01"}) {
                records.append(makeRecord(layouts[0], text));
            }
            records.at(2).setField("EME", "EME");
            DatabaseWriter writer;
            writer.seams.byteLimit = limit;
            const bool ok =
                writer.write(records, folder.path(), byteOrderMark, std::nullopt, [&] { records.clear(); })
                    .ok;
            EXPECT_EQ(ok, limit == bytes.size());
            EXPECT_EQ(records.size() == 0, ok);
            EXPECT_EQ(folder.read("Call3.txt"), ok ? bytes : old);
            EXPECT_EQ(folder.read("Call3.bak"), ok ? old : "older backup");
            EXPECT_EQ(folder.names(),
                      (std::vector<std::string>{"Call3.bak", "Call3.txt"}));  // nothing left over
        }
    }
}
