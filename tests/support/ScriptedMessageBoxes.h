// Message boxes for tests: each box is kept as "kind: caption: text" and each question answered from a queue.
#pragma once

#include "support/TestFailure.h"

#include <deque>
#include <string>
#include <vector>

#include "core/workflow/MessageBoxes.h"

struct ScriptedMessageBoxes final : MessageBoxes {
    std::deque<bool> answers;
    std::vector<std::string> shown;

    void showError(const std::string& caption, const std::string& text) override {
        shown.push_back("error: " + caption + ": " + text);
    }
    void showStatus(const std::string& caption, const std::string& text) override {
        shown.push_back("status: " + caption + ": " + text);
    }
    // A question nobody scripted fails the test and answers No.
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override {
        shown.push_back("query: " + caption + ": " + text);
        if (answers.empty()) {
            VELKMERGE_FAIL("unexpected question: " + text);
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
