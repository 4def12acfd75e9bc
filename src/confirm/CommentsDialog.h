// The comments and write confirmation dialog's logic: comment lines, counts and the commit.
#pragma once

#include <cassert>
#include <string>
#include <string_view>
#include <vector>

#include "confirm/CommentsWindowInterface.h"

class MergeDialog;

class CommentsDialog {
  public:
    explicit CommentsDialog(MergeDialog& owner) : owner(owner) {}

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

    MergeDialog& owner;
    std::vector<std::string> databaseCommentLines;  // the top list
    std::vector<std::string> inputCommentLines;     // the middle list
    std::string writeCountText;
    std::string autoCountText;
    std::string manualCountText;
    std::string insertedCountText;
    // The editable box; lines end in single line feeds.
    std::string combinedComments;

  private:
    // The window is attached by whoever runs the dialog, before any handler is called.
    [[nodiscard]] CommentsWindowInterface& window() {
        assert(window_ != nullptr);
        return *window_;
    }
    CommentsWindowInterface* window_ = nullptr;
};
