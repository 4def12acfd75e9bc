// The resolve step of the desktop program: the resolve window, run modally.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/workflow/ResolveStep.h"

class QtResolveStep : public ResolveStep {
  public:
    // parent: the window the resolve window stands over; may be null.
    explicit QtResolveStep(QWidget* parent) : parent_(parent) {}

    [[nodiscard]] DialogResult runResolve(ResolveDialog& dialog) override;

  private:
    QPointer<QWidget> parent_;
};
