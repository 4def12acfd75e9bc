// Cleaning, listing and committing comment lines.
#include "core/workflow/CommentsDialog.h"

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
    const auto list = [this](const std::vector<std::string>& comments, std::vector<std::string>& lines) {
        for (const std::string& comment : comments) {
            lines.push_back(cleanComment(comment));
            combinedComments += lines.back();
            combinedComments += '\n';
        }
    };
    list(session_.databaseComments, databaseCommentLines);
    list(session_.inputComments, inputCommentLines);
    window().showValues(*this);
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
