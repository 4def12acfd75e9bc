// The Browse button of the desktop program: the "Select input file" dialog, run modally.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/workflow/BrowseStep.h"

class QtBrowseStep : public BrowseStep {
  public:
    // parent: the window the dialog stands over; may be null.
    explicit QtBrowseStep(QWidget* parent) : parent_(parent) {}

    [[nodiscard]] std::optional<std::string> chooseInputFile(const std::string& startFolder) override;

  private:
    QPointer<QWidget> parent_;
};
