// The comments step of the desktop program: the comments window, run modally.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/workflow/CommentsStep.h"

class QtCommentsStep : public CommentsStep {
  public:
    // parent: the window the comments window stands over; may be null.
    explicit QtCommentsStep(QWidget* parent) : parent_(parent) {}

    [[nodiscard]] DialogResult runComments(CommentsDialog& dialog) override;

  private:
    QPointer<QWidget> parent_;
};
