// Noting duplicates, comment lines and near matches of one merge.
#include "core/workflow/ReadFindings.h"

#include "core/calldata/CallFileReader.h"
#include "core/calldata/DatabaseWriter.h"
#include "core/merge/NearMatches.h"

namespace {

void noteFile(MergeChanges& changes, const std::string& file, const ReadResult& read,
              const std::vector<std::string>& comments, std::size_t firstComment) {
    for (const DroppedLine& dropped : read.duplicates) {
        changes.duplicates.push_back({file, dropped});
    }
    for (std::size_t i = 0; i < read.commentLines.size() && firstComment + i < comments.size(); ++i) {
        std::string text = comments[firstComment + i];
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        changes.commentLines.push_back({file, read.commentLines[i], std::move(text)});
    }
}

// The lines of one side of the matches, with the numbers the reading noted; the others are counted where
// the line still lies in the file's text (0 where it does not: it was converted).
std::vector<MergeChanges::FileLine> linesOf(const std::vector<NearCall>& calls, const RecordList& list,
                                            const std::string& file) {
    std::vector<MergeChanges::FileLine> lines;
    const std::string_view bytes = list.texts().empty() ? std::string_view() : list.texts().front()->bytes();
    std::vector<std::uint32_t> places;
    std::vector<std::size_t> numbered;  // the lines to count
    for (const NearCall& call : calls) {
        const std::string_view line = call.text;
        if (call.line == 0 && !bytes.empty() && line.data() >= bytes.data() &&
            line.data() < bytes.data() + bytes.size()) {
            places.push_back(static_cast<std::uint32_t>(line.data() - bytes.data()));
            numbered.push_back(lines.size());
        }
        lines.push_back({file, call.line, std::string(line)});
    }
    if (!places.empty()) {
        const std::vector<std::uint32_t> numbers = lineNumbersOf(bytes, places);
        for (std::size_t i = 0; i < numbered.size(); ++i) {
            lines[numbered[i]].line = numbers[i];
        }
    }
    return lines;
}

}  // namespace

void noteReadFindings(MergeSession& session, const ReadResult& database, const ReadResult& input,
                      const std::string& inputName) {
    MergeChanges* changes = session.changeList();
    if (changes == nullptr) {
        return;
    }
    const std::string databaseName(databaseFileName);
    noteFile(*changes, databaseName, database, session.databaseComments, 0);
    noteFile(*changes, inputName, input, session.inputComments, 0);

    const std::vector<NearMatch> near =
        findNearMatches(session.databaseRecords, database, session.inputRecords, input);
    std::vector<NearCall> inputs;
    std::vector<NearCall> databases;
    for (const NearMatch& match : near) {
        inputs.push_back(match.input);
        databases.push_back(match.database);
    }
    const std::vector<MergeChanges::FileLine> inputLines = linesOf(inputs, session.inputRecords, inputName);
    const std::vector<MergeChanges::FileLine> databaseLines =
        linesOf(databases, session.databaseRecords, databaseName);
    for (std::size_t i = 0; i < near.size(); ++i) {
        changes->nearMatches.push_back({std::string(near[i].input.call), std::string(near[i].database.call),
                                        inputLines[i], databaseLines[i]});
    }
}
