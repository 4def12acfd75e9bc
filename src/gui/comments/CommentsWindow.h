// The comments and write confirmation window: shows the dialog's lists, counts and editable text.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <string>

#include "core/calldata/TextEncoding.h"
#include "core/workflow/CommentsDialog.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class CommentsWindow : public QDialog, public CommentsWindowInterface {
    Q_OBJECT

  public:
    CommentsWindow(CommentsDialog& dialog, QWidget* parent);

    void readBoxes(CommentsDialog& dialog) override;
    void showValues(const CommentsDialog& dialog) override;
    void endDialog(DialogResult result) override;

    // Escape and the close box end here: they cancel like the Cancel button.
    void reject() override;

  private:
    // The text of a comment line as the user sees it, and the bytes it came from.
    void noteOriginal(const std::string& bytes, TextEncoding encoding);

    CommentsDialog& dialog_;
    QListWidget* databaseComments_;
    QListWidget* inputComments_;
    QPlainTextEdit* combinedComments_;
    QLabel* writeCount_;
    QLabel* autoCount_;
    QLabel* manualCount_;
    QLabel* insertedCount_;
    QLabel* leftOut_ = nullptr;
    QPushButton* writeButton_;
    QPushButton* cancelButton_;
    // Shown text of each listed comment line to its bytes, so that lines nobody edits keep them.
    QHash<QString, std::string> originals_;
};
