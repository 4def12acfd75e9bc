// Cleaning, listing and committing comment lines.
#include "core/workflow/CommentsDialog.h"

#include <unordered_set>

#include "core/calldata/CallRecord.h"

std::string CommentsDialog::cleanComment(std::string_view line) {
    if (line.starts_with("//")) {
        line.remove_prefix(2);
    }
    while (!line.empty() && isWhiteSpace(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    return std::string(line);
}

void CommentsDialog::initComments() {
    writeCountText = "Records to Write: " + std::to_string(session_.writeCount);
    autoCountText = "Records automatically Modified: " + std::to_string(session_.autoCount);
    manualCountText = "Records manually Modified: " + std::to_string(session_.manualCount);
    insertedCountText = "Records Inserted: " + std::to_string(session_.insertedCount);
    databaseCommentLines.clear();
    inputCommentLines.clear();
    combinedComments.clear();
    leftOutText.clear();
    // A comment line the database has already is not proposed again, so that comments do not pile up
    // merge after merge: the same line with other blanks around it, or the same text once cleaned.
    std::unordered_set<std::string_view> knownLines;
    std::unordered_set<std::string_view> knownTexts;
    for (const std::string& comment : session_.databaseComments) {
        databaseCommentLines.push_back(cleanComment(comment));
        knownLines.insert(trimWhiteSpace(comment));
    }
    for (const std::string& line : databaseCommentLines) {
        knownTexts.insert(trimWhiteSpace(line));
        combinedComments += line + '\n';
    }
    std::size_t leftOut = 0;
    for (const std::string& comment : session_.inputComments) {
        inputCommentLines.push_back(cleanComment(comment));
        if (knownLines.contains(trimWhiteSpace(comment)) ||
            knownTexts.contains(trimWhiteSpace(inputCommentLines.back()))) {
            ++leftOut;
        } else {
            combinedComments += inputCommentLines.back() + '\n';
        }
    }
    if (leftOut != 0) {
        leftOutText = std::to_string(leftOut) + (leftOut == 1 ? " comment line" : " comment lines") +
                      " of the input file already in Call3.txt left out.";
    }
    window().showValues(*this);
}

std::optional<MergeDetails> CommentsDialog::details() const {
    const std::optional<MergeChanges>& changes = session_.changes;
    return changes ? std::optional<MergeDetails>(MergeDetails(*changes)) : std::nullopt;
}

void CommentsDialog::onWrite() {
    commitComments();
    window().endDialog(DialogResult::Ok);
}

void CommentsDialog::onCancel() {
    window().endDialog(DialogResult::Cancel);
}

void CommentsDialog::commitComments() {
    window().readBoxes(*this);
    std::vector<CallRecord> comments;
    const std::string_view text = combinedComments;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = text.find('\n', start);
        const std::string_view piece =
            text.substr(start, lineFeed == text.npos ? text.npos : lineFeed - start);
        comments.emplace_back().makeComment("// " + std::string(piece));
        if (lineFeed == text.npos) {
            break;
        }
        start = lineFeed + 1;
    }
    session_.databaseRecords.insertAtHead(std::move(comments));
}
