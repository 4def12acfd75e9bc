// Fuzz target: arbitrary bytes read as a callsign file with every layout, and written back as a database.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"

namespace {

void checkRead(std::string_view bytes, std::size_t layoutIndex) {
    const FieldDefinition& layout = layouts()[layoutIndex];
    const std::string where = "layout " + std::to_string(layoutIndex);
    Read read(bytes, static_cast<int>(layoutIndex));
    fuzzCheck(read.result.opened, where + ": text reads as not opened");
    fuzzCheck(read.result.hadByteOrderMark == bytes.starts_with(utf8ByteOrderMark),
              where + ": byte-order mark misreported");
    for (std::size_t i = 1; i < read.records.size(); ++i) {
        fuzzCheck(read.records.at(i - 1).call() < read.records.at(i).call(),
                  where + ": calls not in ascending order, each once");
    }

    for (const auto& record : read.records) {
        fuzzCheck(record->layout == &layout && read.records.layout() == &layout, where + ": wrong layout");
        fuzzCheck(isValidCall(record->call()), where + ": invalid call " + escaped(record->call()));
        fuzzCheck(!record->line().empty() && bytes.find(record->line()) != std::string_view::npos,
                  where + ": record line \"" + escaped(record->line()) + "\" is not in the input");
        // The record is what its own line cuts into.
        CallRecord again(&layout);
        again.cutOwnLine(std::string(record->line()), read.result.encoding);
        fuzzCheck(!again.isComment() && again.values() == record->values() &&
                      again.extraFields() == record->extraFields(),
                  where + ": record of line \"" + escaped(record->line()) + "\" differs from its line's cut");
    }
    for (const std::string& comment : read.comments) {
        // A comment as read ends in its line feed (the last line of a file may lack one).
        const std::string_view text =
            std::string_view(comment).substr(0, comment.size() - (comment.ends_with('\n') ? 1 : 0));
        fuzzCheck(text.find('\n') == std::string_view::npos,
                  where + ": comment \"" + escaped(comment) + "\" spans lines");
        fuzzCheck(bytes.find(text) != std::string_view::npos,
                  where + ": comment \"" + escaped(comment) + "\" is not in the input");
        CallRecord asRecord(&layout);
        asRecord.cutOwnLine(std::string(text), read.result.encoding);
        fuzzCheck(asRecord.isComment(), where + ": comment \"" + escaped(comment) + "\" cuts into a record");
    }

    if (layoutIndex != static_cast<std::size_t>(databaseLayoutIndex)) {
        return;
    }
    // Written back as a merge writes the database, the file holds the comments and the records in order.
    std::vector<CallRecord> commentRecords;
    for (const std::string& comment : read.comments) {
        commentRecords.emplace_back().makeComment("// " + CommentsDialog::cleanComment(comment));
    }
    const std::size_t records = read.records.size();
    read.records.insertAtHead(std::move(commentRecords));
    writeFile(scratchFolder() / databaseFileName, "");  // the writer replaces a file that is there
    std::error_code error;
    const std::optional<FileStamp> stamp = stampOf(scratchFolder() / databaseFileName, error);
    fuzzCheck(DatabaseWriter().write(read.records, scratchFolder(), read.result.hadByteOrderMark, stamp).ok,
              "cannot write Call3.txt");
    fuzzCheck(writtenFileFault(readFile(scratchFolder() / databaseFileName), read.result.hadByteOrderMark,
                               read.comments, records));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t layout = 0; layout < customLayoutIndex; ++layout) {  // the last has no fields
        checkRead(bytes, layout);
    }
    return 0;
}
