// The comments and write confirmation dialog's logic: comment lines, counts and the commit.
#pragma once

#include <cassert>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/workflow/CommentsWindowInterface.h"

#include "core/calldata/TextEncoding.h"
#include "core/workflow/MergeDetails.h"
#include "core/workflow/MergeSession.h"

class CommentsDialog {
  public:
    explicit CommentsDialog(MergeSession& session) : session_(session) {}

    void setWindow(CommentsWindowInterface& window) { window_ = &window; }
    // Opening: formats the counts, lists the cleaned comments and proposes both sets.
    void initComments();
    // Write: the edited comments go to the head of the database, then the dialog ends with Ok.
    void onWrite();
    void onCancel();
    // Turns the text of the editable box into comment records at the head of the database.
    void commitComments();

    // A comment line as listed: without "//" at its very start, leading blanks and line feeds.
    [[nodiscard]] static std::string cleanComment(std::string_view line);

    // The details list of the merge; nothing when the merge kept no change list.
    [[nodiscard]] std::optional<MergeDetails> details() const;

    // How each file's bytes read for display.
    [[nodiscard]] TextEncoding databaseEncoding() const { return session_.databaseEncoding; }
    [[nodiscard]] TextEncoding inputEncoding() const { return session_.inputEncoding; }
    // The records about to be written, comments first once Write was pressed.
    [[nodiscard]] const RecordList& databaseRecords() const { return session_.databaseRecords; }

    std::vector<std::string> databaseCommentLines;  // the top list
    std::vector<std::string> inputCommentLines;     // the middle list
    std::string writeCountText;
    std::string autoCountText;
    std::string manualCountText;
    std::string insertedCountText;
    // The editable box; lines end in single line feeds.
    std::string combinedComments;
    // The files a saved details list must never replace: Call3.txt, Call3.bak and the input.
    std::vector<std::filesystem::path> mergeFiles;
    // How many of the input's comment lines the box leaves out, being in Call3.txt already; empty for none.
    std::string leftOutText;

  private:
    // The window is attached by whoever runs the dialog, before any handler is called.
    [[nodiscard]] CommentsWindowInterface& window() {
        assert(window_ != nullptr);
        return *window_;
    }
    MergeSession& session_;
    CommentsWindowInterface* window_ = nullptr;
};
