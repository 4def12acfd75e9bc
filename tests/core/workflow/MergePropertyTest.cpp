// Whole merges of seeded random databases and inputs, held to the shared merge invariants.
#include <gtest/gtest.h>

#include "support/CallFileGenerator.h"
#include "support/MergeInvariants.h"
#include "support/TestFolder.h"

using namespace invariants;

// Each case runs two merges; this many take about as long as the other core tests together.
TEST(MergeProperty, GeneratedMergesKeepEveryCallCommentAndBackupAndAddNothingTheSecondTime) {
    for (int number = 0; number < 200; ++number) {
        SplitMix random{0x5EED0000ULL + static_cast<std::uint64_t>(number)};
        CallFileGenerator generator(random);
        MergeCase c;
        c.layout = static_cast<int>(random.below(3));
        c.takeInput = random.chance(50);
        for (const auto& [name, member] : mergeOptionMembers) {
            c.options.*member = random.chance(50);
        }
        c.database = generator.file(0, 60);
        c.input = generator.file(c.layout, 40);
        const TestFolder folder;
        EXPECT_EQ(mergeFault(c, folder.path(), true), "")
            << "case " << number << ", input layout " << c.layout << (c.takeInput ? ", Save all New" : "")
            << "\n--- Call3.txt: " << escaped(c.database) << "\n--- input.txt: " << escaped(c.input);
    }
}
