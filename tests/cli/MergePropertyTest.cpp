// Whole merges of seeded generated databases and inputs, odd lines included, held to the shared invariants.
#include <gtest/gtest.h>

#include "CallFileGenerator.h"
#include "support/MergeInvariants.h"
#include "support/TestFolder.h"

using namespace invariants;

// Each case runs two merges; this many take about as long as the other core tests together.
TEST(MergeProperty, GeneratedMergesKeepEveryCallCommentAndBackupAndAddNothingTheSecondTime) {
    for (std::uint64_t number = 0; number < 200; ++number) {
        SplitMix64 random(0x5EED0000ULL + number);
        GeneratorOptions generated;
        generated.seed = random.next();
        generated.lines = 10 + random.below(60);
        generated.layout = static_cast<int>(random.below(3));
        generated.share = static_cast<double>(random.below(11)) / 10;
        generated.repeats = 0.2;
        generated.oddLines = 0.2;
        generated.shape = random.chance(0.3) ? FileShape::Updates : FileShape::Standard;
        const GeneratedFiles files = CallFileGenerator(generated).generate();
        MergeCase c{files.database, files.input, generated.layout, {}, random.chance(0.5)};
        for (const auto& [name, member] : mergeOptionMembers) {
            c.options.*member = random.chance(0.5);
        }
        const TestFolder folder;
        EXPECT_EQ(mergeFault(c, folder.path(), true), "")
            << "case " << number << ", input layout " << c.layout << (c.takeInput ? ", Save all New" : "")
            << "\n--- Call3.txt: " << escaped(c.database) << "\n--- input.txt: " << escaped(c.input);
    }
}
