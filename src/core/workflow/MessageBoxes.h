// How message boxes reach the user: a window shows them, tests and the batch command answer them.
#pragma once

#include <string>

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // OK button only, no icon.
    virtual void showError(const std::string& caption, const std::string& text) = 0;
    // OK button, information icon.
    virtual void showStatus(const std::string& caption, const std::string& text) = 0;
    // Yes and No buttons, question icon, Yes the default; true for Yes.
    [[nodiscard]] virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
};
