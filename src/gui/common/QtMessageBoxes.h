// Message boxes as Qt message boxes owned by a window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/workflow/MessageBoxes.h"

class QtMessageBoxes final : public MessageBoxes {
  public:
    // owner may be null: the box then has no parent window.
    explicit QtMessageBoxes(QWidget* owner) : owner_(owner) {}

    void showError(const std::string& caption, const std::string& text) override;
    void showStatus(const std::string& caption, const std::string& text) override;
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;

  private:
    QPointer<QWidget> owner_;
};
