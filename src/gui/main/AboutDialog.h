// The About box: the program icon, its name and version, and OK.
#pragma once

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent);
};
