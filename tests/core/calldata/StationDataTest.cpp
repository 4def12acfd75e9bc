// The station text made from the four band values of an old-layout record.
#include "core/calldata/StationData.h"

#include <gtest/gtest.h>

#include "core/calldata/CallRecord.h"

TEST(StationDataText, JoinsTheNonZeroBandsWithSingleSpaces) {
    const auto layouts = buildFieldDefinitions();
    const std::array<const char*, 5> cases[] = {
        // P1 to P4, then the text
        {"5", "0", "3", "0", "6M:5 222:3"},
        {"0", "0", "0", "7", "432:7"},
        {"1", "2", "3", "4", "6M:1 2M:2 222:3 432:4"},
        {"7", "0", "0", "0", "6M:7"},
        {"0", "2", "0", "0", "2M:2"},
        {"0", "", "abc", "  0", ""},
        {"12abc", "-1", "65537", " +4", "6M:12 2M:65535 222:1 432:4"},
        {"100000000000000000001", "", "", "", "6M:1"},
    };
    for (const auto& [p1, p2, p3, p4, text] : cases) {
        CallRecord record(&layouts[1]);
        record.assignValues({"QA1ABC", "", "", "", p1, p2, p3, p4, ""});
        EXPECT_EQ(record.stationFromBands(), text) << p1 << '|' << p2 << '|' << p3 << '|' << p4;
    }
}
