// A plain resolve window: the number of differing pairs and the buttons that settle all of them at once.
#pragma once

#include <QDialog>

#include "app/QtMessageBoxes.h"
#include "resolve/ResolveDialog.h"

class QLabel;
class QPushButton;

class ResolveWindow : public QDialog, public ResolveWindowInterface {
    Q_OBJECT

  public:
    // boxes: where the dialog's messages go; null for message boxes over this window.
    ResolveWindow(ResolveDialog& dialog, QWidget* parent, MessageBoxes* boxes = nullptr);

    bool readBoxes(ResolveDialog& dialog) override;
    void showValues(const ResolveDialog& dialog) override;
    void redrawAll(const ResolveDialog& dialog) override;
    void hideControl(ResolveControl control) override;
    void tone(unsigned frequency, unsigned milliseconds) override;
    void endDialog(DialogResult result) override;
    [[nodiscard]] MessageBoxes& messageBoxes() override;

    // Escape and the close box end here: they cancel like the Cancel button.
    void reject() override;

  private:
    ResolveDialog& dialog_;
    QtMessageBoxes ownBoxes_;
    MessageBoxes* boxes_;
    QLabel* countText_;
};
