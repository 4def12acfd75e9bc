// Cleaning, listing and committing comment lines.
#include "confirm/CommentsDialog.h"

#include "app/MergeDialog.h"
#include "calldata/CallRecord.h"

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
    writeCountText = "Records to Write: " + std::to_string(owner.writeCount);
    autoCountText = "Records automatically Modified: " + std::to_string(owner.autoCount);
    manualCountText = "Records manually Modified: " + std::to_string(owner.manualCount);
    insertedCountText = "Records Inserted: " + std::to_string(owner.insertedCount);
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
    list(owner.databaseComments, databaseCommentLines);
    list(owner.inputComments, inputCommentLines);
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
    RecordList::Owned comments;
    const std::string_view text = combinedComments;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = text.find('\n', start);
        const std::string_view piece =
            text.substr(start, lineFeed == text.npos ? text.npos : lineFeed - start);
        auto comment = std::make_unique<CallRecord>();
        comment->isComment = true;
        comment->setLine("// " + std::string(piece));
        comments.push_back(std::move(comment));
        if (lineFeed == text.npos) {
            break;
        }
        start = lineFeed + 1;
    }
    owner.databaseRecords.insertAtHead(std::move(comments));
}
