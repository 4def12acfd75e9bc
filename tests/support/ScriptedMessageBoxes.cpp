// Recording message boxes and answering questions for tests.
#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

void ScriptedMessageBoxes::showError(const std::string& caption, const std::string& text) {
    shown.push_back({Kind::Error, caption, text});
}

void ScriptedMessageBoxes::showStatus(const std::string& caption, const std::string& text) {
    shown.push_back({Kind::Status, caption, text});
}

bool ScriptedMessageBoxes::askYesNo(const std::string& caption, const std::string& text) {
    shown.push_back({Kind::Query, caption, text});
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}
