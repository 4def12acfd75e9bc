// The comments window's controls, and the conversion of comment text between file bytes and display.
#include "gui/comments/CommentsWindow.h"

#include "gui/comments/DetailsWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "core/workflow/MergeDialog.h"

namespace {

const char* const explanation =
    "The top box are the comments from your original Call3 file.  The middle box show the comments from your "
    "input file.  The Bottom box shows both sets of comments.  You can edit the bottom box to change or "
    "include only comments you want.";

// Bytes of a file in `encoding` as text. A Windows-1252 file is read byte by byte, so that a line of it
// that happens to look like UTF-8 still shows the characters the file holds.
QString decoded(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return QString::fromStdString(toUtf8ForDisplay(bytes));
    }
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += toUtf8ForDisplay(bytes.substr(i, 1));
    }
    return QString::fromStdString(text);
}

QListWidget* makeCommentList(const char* name) {
    auto* list = new QListWidget;
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setSortingEnabled(false);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return list;
}

QLabel* makeCountLine(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    return label;
}

void fillList(QListWidget* list, const std::vector<std::string>& lines, TextEncoding encoding) {
    list->clear();
    for (const std::string& line : lines) {
        list->addItem(decoded(line, encoding));
    }
    // Shown, not chosen: no row stands out as if it were.
    list->setCurrentRow(-1);
    list->clearSelection();
}

}  // namespace

CommentsWindow::CommentsWindow(CommentsDialog& dialog, QWidget* parent)
    : QDialog(parent),
      dialog_(dialog),
      databaseComments_(makeCommentList("databaseComments")),
      inputComments_(makeCommentList("inputComments")),
      combinedComments_(new QPlainTextEdit),
      writeCount_(makeCountLine("writeCount")),
      autoCount_(makeCountLine("autoCount")),
      manualCount_(makeCountLine("manualCount")),
      insertedCount_(makeCountLine("insertedCount")),
      writeButton_(new QPushButton(tr("Write"))),
      cancelButton_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("Comments and Write Verification"));

    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* text = new QLabel(QString::fromLatin1(explanation));
    text->setObjectName("explanation");
    text->setWordWrap(true);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(text);

    combinedComments_->setObjectName("combinedComments");
    combinedComments_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    combinedComments_->setLineWrapMode(QPlainTextEdit::NoWrap);
    combinedComments_->setTabChangesFocus(true);

    writeButton_->setObjectName("writeButton");
    writeButton_->setDefault(true);
    cancelButton_->setObjectName("cancelButton");

    auto* counts = new QVBoxLayout;
    for (QLabel* line : {writeCount_, autoCount_, manualCount_, insertedCount_}) {
        counts->addWidget(line);
    }
    leftOut_ = makeCountLine("leftOut");
    counts->addWidget(leftOut_);
    auto* details = new QPushButton(tr("&Details..."));
    details->setObjectName("detailsButton");
    details->setToolTip(tr("What the merge added, changed and settled, and the lines it left out"));
    details->setEnabled(dialog.details().has_value());
    connect(details, &QPushButton::clicked, this, [this] {
        if (std::optional<MergeDetails> list = dialog_.details()) {
            DetailsWindow window(std::move(*list), dialog_.mergeFiles, this);
            window.exec();
        }
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(writeButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(counts);
    bottom->addWidget(details, 0, Qt::AlignBottom);
    bottom->addStretch();
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(databaseComments_, 1);
    layout->addWidget(inputComments_, 1);
    layout->addWidget(combinedComments_, 2);
    layout->addLayout(bottom);

    // The first list would take the focus, and a list with the focus makes its first line current.
    writeButton_->setFocus();
    connect(writeButton_, &QPushButton::clicked, this, [this] { dialog_.onWrite(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { dialog_.onCancel(); });
}

void CommentsWindow::noteOriginal(const std::string& bytes, TextEncoding encoding) {
    // The database's own lines come first and win when an input line shows the same text.
    const QString shown = decoded(bytes, encoding);
    if (!originals_.contains(shown)) {
        originals_.insert(shown, bytes);
    }
}

void CommentsWindow::showValues(const CommentsDialog& dialog) {
    const TextEncoding databaseEncoding = dialog.databaseEncoding();
    const TextEncoding inputEncoding = dialog.inputEncoding();
    originals_.clear();
    for (const std::string& line : dialog.databaseCommentLines) {
        noteOriginal(line, databaseEncoding);
    }
    for (const std::string& line : dialog.inputCommentLines) {
        noteOriginal(line, inputEncoding);
    }
    fillList(databaseComments_, dialog.databaseCommentLines, databaseEncoding);
    fillList(inputComments_, dialog.inputCommentLines, inputEncoding);

    // Each line of the proposal is shown as the file it came from is read; anything else is the database's.
    const auto isIn = [](const std::vector<std::string>& lines, std::string_view line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    QStringList shown;
    const std::string_view text = dialog.combinedComments;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t lineFeed = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, lineFeed - start);
        const bool fromInput =
            !isIn(dialog.databaseCommentLines, line) && isIn(dialog.inputCommentLines, line);
        shown.append(decoded(line, fromInput ? inputEncoding : databaseEncoding));
        start = lineFeed + 1;
    }
    combinedComments_->setPlainText(shown.join(QChar('\n')));

    writeCount_->setText(QString::fromStdString(dialog.writeCountText));
    autoCount_->setText(QString::fromStdString(dialog.autoCountText));
    manualCount_->setText(QString::fromStdString(dialog.manualCountText));
    insertedCount_->setText(QString::fromStdString(dialog.insertedCountText));
    leftOut_->setText(QString::fromStdString(dialog.leftOutText));
    leftOut_->setVisible(!dialog.leftOutText.empty());
}

void CommentsWindow::readBoxes(CommentsDialog& dialog) {
    // The raw text, so that a no-break space stays one; line breaks of any kind become line feeds.
    QString text = combinedComments_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    text.remove(QChar('\r'));

    std::string bytes;
    const QStringList lines = text.split(QChar('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            bytes += '\n';
        }
        const auto original = originals_.constFind(lines[i]);
        bytes += original != originals_.constEnd()
                     ? *original
                     : fromUtf8ForStorage(lines[i].toStdString(), dialog.databaseEncoding());
    }
    dialog.combinedComments = std::move(bytes);
}

void CommentsWindow::endDialog(DialogResult result) {
    if (result == DialogResult::Ok) {
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

void CommentsWindow::reject() {
    dialog_.onCancel();
}
