// Fuzz target: arbitrary bytes read as a callsign file with every layout, from memory and from disk.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "calldata/CallFileReader.h"
#include "calldata/FieldDefinition.h"
#include "calldata/TextEncoding.h"
#include "confirm/CommentsDialog.h"

namespace {

const std::vector<FieldDefinition>& layouts() {
    static const std::vector<FieldDefinition> definitions = buildFieldDefinitions();
    return definitions;
}

// One folder per process, so that parallel fuzzers never share a file; removed at exit.
const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkmerge-fuzz-read-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            fuzzFailure("cannot create a temporary folder");
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

struct Read {
    RecordList records;
    std::vector<std::string> comments;
    ReadResult result;
};

Read readText(std::string_view bytes, const FieldDefinition& layout) {
    Read read;
    SilentProgress progress;
    read.result = readCallText(read.records, read.comments, bytes, layout, "fuzz", progress);
    return read;
}

void checkRead(std::string_view bytes, std::size_t layoutIndex) {
    const FieldDefinition& layout = layouts()[layoutIndex];
    const std::string where = "layout " + std::to_string(layoutIndex);
    Read read = readText(bytes, layout);
    fuzzCheck(read.result.opened, where + ": text reads as not opened");
    fuzzCheck(read.result.hadByteOrderMark == bytes.starts_with(utf8ByteOrderMark),
              where + ": byte-order mark misreported");
    checkCallOrder(read.records, where);

    for (const auto& record : read.records) {
        fuzzCheck(record->layout == &layout && read.records.layout() == &layout, where + ": wrong layout");
        fuzzCheck(isValidCall(record->call()), where + ": invalid call " + escaped(record->call()));
        fuzzCheck(!record->line.empty() && bytes.find(record->line) != std::string_view::npos,
                  where + ": record line \"" + escaped(record->line) + "\" is not in the input");
        // The record is what its own line cuts into.
        CallRecord again(&layout);
        again.line = record->line;
        again.parseLine(read.result.encoding);
        fuzzCheck(
            !again.isComment && again.values == record->values && again.extraFields == record->extraFields,
            where + ": record of line \"" + escaped(record->line) + "\" differs from its line's cut");
    }
    for (const std::string& comment : read.comments) {
        const std::string_view text = withoutLineFeed(comment);
        fuzzCheck(text.find('\n') == std::string_view::npos,
                  where + ": comment \"" + escaped(comment) + "\" spans lines");
        fuzzCheck(bytes.find(text) != std::string_view::npos,
                  where + ": comment \"" + escaped(comment) + "\" is not in the input");
        CallRecord asRecord(&layout);
        asRecord.line = text;
        asRecord.parseLine(read.result.encoding);
        fuzzCheck(asRecord.isComment, where + ": comment \"" + escaped(comment) + "\" cuts into a record");
    }

    // Reading the same bytes from a file gives the same outcome.
    const std::filesystem::path file = scratchFolder() / "input.txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        fuzzCheck(static_cast<bool>(out), "cannot write the temporary file");
    }
    Read fromFile;
    SilentProgress progress;
    fromFile.result = readCallFile(fromFile.records, fromFile.comments, file, layout, "fuzz", progress);
    fuzzCheck(fromFile.result.opened && fromFile.result.hadByteOrderMark == read.result.hadByteOrderMark &&
                  fromFile.result.encoding == read.result.encoding,
              where + ": file read reports differ from text read");
    fuzzCheck(recordKeys(fromFile.records) == recordKeys(read.records) && fromFile.comments == read.comments,
              where + ": file read differs from text read");

    if (layoutIndex != static_cast<std::size_t>(databaseLayoutIndex)) {
        return;
    }
    // Written back as a merge writes the database (comments behind "// ", records, end marker; CR LF),
    // the text reads back into the same records and the same comment texts.
    std::string written;
    if (read.result.hadByteOrderMark) {
        written += utf8ByteOrderMark;
    }
    std::vector<std::string> expectedComments;
    for (const std::string& comment : read.comments) {
        expectedComments.push_back(CommentsDialog::cleanComment(comment));
        written += "// ";
        written += expectedComments.back();
        written += "\r\n";
    }
    for (const auto& record : read.records) {
        written += record->databaseLine();
        written += "\r\n";
    }
    written += endMarkerLine;
    written += "\r\n";
    Read again = readText(written, layout);
    fuzzCheck(recordKeys(again.records) == recordKeys(read.records),
              where + ": records written back read differently: \"" + escaped(written) + "\"");
    std::vector<std::string> againComments;
    for (const std::string& comment : again.comments) {
        againComments.push_back(CommentsDialog::cleanComment(comment));
    }
    fuzzCheck(againComments == expectedComments,
              where + ": comments written back read differently: \"" + escaped(written) + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t layout = 0; layout < layouts().size(); ++layout) {
        checkRead(bytes, layout);
    }
    return 0;
}
