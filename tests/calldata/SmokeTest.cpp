// Temporary: proves the test build works.
#include <gtest/gtest.h>
#include "calldata/CallRecord.h"
TEST(Smoke, ValidCall) { EXPECT_TRUE(isValidCall("QA1ABC")); }
