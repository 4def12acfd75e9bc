// The layout editor of the desktop program, run modally.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/workflow/CustomLayoutStep.h"

class QtCustomLayoutStep : public CustomLayoutStep {
  public:
    // parent: the window the editor stands over; may be null.
    explicit QtCustomLayoutStep(QWidget* parent) : parent_(parent) {}

    [[nodiscard]] DialogResult runCustomLayout(CustomLayoutDialog& dialog) override;

  private:
    QPointer<QWidget> parent_;
};
