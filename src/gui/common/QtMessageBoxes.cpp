// Error, status and query boxes with the program's captions, buttons and icons.
#include "gui/common/QtMessageBoxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "core/calldata/TextEncoding.h"

namespace {

// Message texts carry file names and lines as bytes; show them as their files would.
QString display(const std::string& text) {
    return QString::fromStdString(toUtf8ForDisplay(text));
}

// A short text would make a box too narrow for its caption, which the title bar would then cut.
void fitCaption(QMessageBox& box) {
    const int caption =
        box.fontMetrics().horizontalAdvance(box.windowTitle()) + 8 * box.fontMetrics().averageCharWidth();
    if (auto* layout = qobject_cast<QGridLayout*>(box.layout())) {
        layout->addItem(new QSpacerItem(caption, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                        layout->rowCount(), 0, 1, layout->columnCount());
    }
}

}  // namespace

void QtMessageBoxes::showError(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, display(caption), display(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);  // file names such as a<b>.txt are not markup
    fitCaption(box);
    box.exec();
}

void QtMessageBoxes::showStatus(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Information, display(caption), display(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    fitCaption(box);
    box.exec();
}

bool QtMessageBoxes::askYesNo(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, display(caption), display(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    fitCaption(box);
    return box.exec() == QMessageBox::Yes;
}
