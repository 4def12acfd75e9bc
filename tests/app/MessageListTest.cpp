// The error and status collectors.
#include <gtest/gtest.h>

#include "app/ErrorList.h"
#include "app/MessageList.h"
#include "support/ScriptedMessageBoxes.h"

using Kind = ScriptedMessageBoxes::Kind;

TEST(ErrorList, ShowsAllLinesInOneBoxWhateverTheirLengthAndEmptiesItself) {
    const std::string path(700, 'x');  // a formatted line is never cut
    ScriptedMessageBoxes boxes;
    ErrorList errors;
    errors.show(boxes);
    errors.addFormatted("Unable to rename Call3.txt to Call3.bak (%d)", 5);
    errors.show(boxes, "Aborting Merge.");
    errors.addFormatted("Cannot open %s.", path.c_str());
    errors.show(boxes);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].kind, Kind::Error);
    EXPECT_EQ(boxes.shown[0].caption, "VELK Merge Program Error");
    EXPECT_EQ(boxes.shown[0].text, "Unable to rename Call3.txt to Call3.bak (5)\nAborting Merge.");
    EXPECT_EQ(boxes.shown[1].text, "Cannot open " + path + ".");
}

TEST(MessageList, KeepsTwentyLinesButAlwaysTheFinalLine) {
    ScriptedMessageBoxes boxes;
    MessageList messages;
    std::string expected;
    for (int n = 1; n <= 25; ++n) {
        messages.addFormatted("line %d %s", n, std::string(n * 30, 'x').c_str());
        expected += n <= 20 ? "line " + std::to_string(n) + " " + std::string(n * 30, 'x') + "\n" : "";
    }
    EXPECT_EQ(messages.show(boxes, "last"), ' ');
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, Kind::Status);
    EXPECT_EQ(boxes.shown[0].caption, "VELK Merge Status");
    EXPECT_EQ(boxes.shown[0].text, expected + "last");
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
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[0].caption, "VelkMerge Help");
    EXPECT_EQ(boxes.shown[1].kind, Kind::Query);
    EXPECT_EQ(boxes.shown[1].caption, "VELK Merge Query.");
    EXPECT_EQ(boxes.shown[3].caption, "VELK Merge Status");
}
