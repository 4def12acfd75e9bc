// Error, status and query boxes with the program's captions, buttons and icons.
#include "gui/common/QtMessageBoxes.h"

#include <QMessageBox>

#include "core/calldata/TextEncoding.h"

namespace {

// Message texts carry file names and lines as bytes; show them as their files would.
QString display(const std::string& text) {
    return QString::fromStdString(toUtf8ForDisplay(text));
}

}  // namespace

void QtMessageBoxes::showError(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, display(caption), display(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);  // file names such as a<b>.txt are not markup
    box.exec();
}

void QtMessageBoxes::showStatus(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Information, display(caption), display(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtMessageBoxes::askYesNo(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, display(caption), display(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
