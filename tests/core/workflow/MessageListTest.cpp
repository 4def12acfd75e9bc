// The error and status collectors.
#include <gtest/gtest.h>

#include "core/workflow/ErrorList.h"
#include "core/workflow/MessageList.h"
#include "support/ScriptedMessageBoxes.h"

using Strings = std::vector<std::string>;

TEST(ErrorList, ShowsAllLinesInOneBoxWhateverTheirLengthAndEmptiesItself) {
    const std::string path(700, 'x');  // a formatted line is never cut
    ScriptedMessageBoxes boxes;
    ErrorList errors;
    errors.show(boxes);
    errors.addFormatted("Unable to rename Call3.txt to Call3.bak (%d)", 5);
    errors.show(boxes, "Aborting Merge.");
    errors.addFormatted("Cannot open %s.", path.c_str());
    errors.show(boxes);
    EXPECT_EQ(boxes.shown,
              (Strings{"error: VELK Merge Program Error: Unable to rename Call3.txt to Call3.bak "
                       "(5)\nAborting Merge.",
                       "error: VELK Merge Program Error: Cannot open " + path + "."}));
}

TEST(MessageList, KeepsTwentyLinesButAlwaysTheFinalLine) {
    ScriptedMessageBoxes boxes;
    MessageList messages;
    std::string expected = "status: VELK Merge Status: ";
    for (int n = 1; n <= 25; ++n) {
        messages.addFormatted("line %d %s", n, std::string(n * 30, 'x').c_str());
        expected += n <= 20 ? "line " + std::to_string(n) + " " + std::string(n * 30, 'x') + "\n" : "";
    }
    EXPECT_EQ(messages.show(boxes, "last"), ' ');
    EXPECT_EQ(boxes.shown, Strings{expected + "last"});
}

TEST(MessageList, QueriesAnswerYesOrNoAndATitleServesOneBox) {
    ScriptedMessageBoxes boxes;
    boxes.answers = {true, false};
    MessageList messages;
    messages.title = "VelkMerge Help";
    EXPECT_EQ(messages.show(boxes), ' ');  // no box, and the title stays
    messages.addLine("help");
    EXPECT_EQ(messages.show(boxes), ' ');
    EXPECT_EQ(messages.show(boxes, "Save?", MessageList::Kind::Query), 'Y');
    EXPECT_EQ(messages.show(boxes, "Save?", MessageList::Kind::Query), 'N');
    messages.show(boxes, "status");
    EXPECT_EQ(boxes.shown, (Strings{"status: VelkMerge Help: help", "query: VELK Merge Query.: Save?",
                                    "query: VELK Merge Query.: Save?", "status: VELK Merge Status: status"}));
}
