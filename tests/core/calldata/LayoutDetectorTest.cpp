// Detection must name the right layout for every kind of file people merge, and give a wrong layout a
// score low enough for the program to warn before it reads.
#include "core/calldata/LayoutDetector.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "CallFileGenerator.h"
#include "support/TestFolder.h"

namespace {

const std::vector<FieldDefinition> layouts = buildFieldDefinitions();

// Names the expected layout, with every other built-in layout below a good fit.
void expectDetected(std::string_view text, int expected, const std::string& what) {
    const LayoutDetector::Guess guess = LayoutDetector(text).guess(layouts);
    EXPECT_EQ(guess.best, expected) << what;
    ASSERT_GE(guess.best, 0) << what;
    EXPECT_GE(guess.scores[static_cast<std::size_t>(guess.best)], 0.9) << what;
    for (int other = 0; other < customLayoutIndex; ++other) {
        if (other != expected) {
            EXPECT_LT(guess.scores[static_cast<std::size_t>(other)], LayoutDetector::goodFit)
                << what << ": layout " << other;
        }
    }
}

// The generated input with its comma columns put in another order, and the order as --fields names it.
std::string reorderColumns(const std::string& input, const std::vector<int>& order) {
    std::string out;
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::vector<std::string> cells = columnsOf(input.substr(start, end - start));
        std::vector<std::string> moved;
        for (const int from : order) {
            moved.push_back(static_cast<std::size_t>(from) < cells.size()
                                ? cells[static_cast<std::size_t>(from)]
                                : std::string());
        }
        out += columnsText(moved) + '\n';
        start = end + 1;
    }
    return out;
}

}  // namespace

TEST(LayoutDetection, NamesTheLayoutOfEachExampleAndRealFile) {
    const std::filesystem::path examples = std::filesystem::path(VELKMERGE_SOURCE_DIR) / "examples";
    expectDetected(*readBytes(examples / "Call3.txt"), 0, "Call3.txt");
    expectDetected(*readBytes(examples / "input-standard.txt"), 0, "input-standard.txt");
    expectDetected(*readBytes(examples / "input-v46.txt"), 1, "input-v46.txt");
    expectDetected(*readBytes(examples / "input-nohr.txt"), 2, "input-nohr.txt");
    expectDetected(*readBytes(examples / "input-custom.txt"), customLayoutIndex, "input-custom.txt");

    const std::filesystem::path real(VELKMERGE_SHARED_DATA_DIR);
    if (!std::filesystem::is_directory(real)) {
        GTEST_SKIP() << "no real callsign files at " << real;
    }
    for (const auto& entry : std::filesystem::directory_iterator(real)) {
        expectDetected(*readBytes(entry.path()), 0, entry.path().filename().string());
    }
}

TEST(LayoutDetection, NamesTheLayoutOfGeneratedFilesEvenWithOddLines) {
    for (int layout = 0; layout < customLayoutIndex; ++layout) {
        for (const double odd : {0.0, 0.1}) {
            GeneratorOptions options;
            options.lines = 2000;
            options.layout = layout;
            options.oddLines = odd;
            options.shape = FileShape::Long;
            const GeneratedFiles files = CallFileGenerator(options).generate();
            expectDetected(files.input, layout,
                           "layout " + std::to_string(layout) + " odd " + std::to_string(odd));
        }
    }
}

TEST(LayoutDetection, FindsTheColumnsOfACommaFileInAnotherOrder) {
    GeneratorOptions options;
    options.lines = 2000;
    const std::string standard = CallFileGenerator(options).generate().input;
    // Name, Call, a column nobody knows, Grid, Email.
    const std::string reordered = reorderColumns(standard, {4, 0, 7, 1, 5});
    const LayoutDetector::Guess guess = LayoutDetector(reordered).guess(layouts);
    EXPECT_EQ(guess.best, customLayoutIndex);
    EXPECT_FALSE(guess.headerFound);
    EXPECT_EQ(columnsText(guess.columns), "Name,Call,,Grid,Email");
    EXPECT_GE(guess.scores[customLayoutIndex], 0.9);

    // A header names the columns, whatever the values look like, and comment markers before it do not count.
    const LayoutDetector withHeader("# E-Mail , Callsign, QTH Locator,Remarks\nx@y.z,QA1ABC,FN31pr,a\n");
    bool fromHeader = false;
    EXPECT_EQ(columnsText(withHeader.guessColumns(&fromHeader)), "Email,Call,Grid");
    EXPECT_TRUE(fromHeader);
}

TEST(LayoutDetection, ScoresOnlyLinesThatSomeLayoutReadsAsRecords) {
    // Comment and blank lines count for no layout; a file of nothing but them has no guess.
    EXPECT_EQ(LayoutDetector("// a list\n\n   \n// of nothing\n").guess(layouts).best, -1);
    EXPECT_FALSE(LayoutDetector("garbage here\n").hasRecords());

    const LayoutDetector mostlyComments("// one\n// two\n// three\nQA1ABC,FN31pr,,,Alice,,\n");
    EXPECT_DOUBLE_EQ(mostlyComments.fitOf(layouts[0]), 1.0);

    // A cut text leaves out its last line, which may be cut short.
    const LayoutDetector cut("QA1ABC,FN31pr,,,Alice,,\nQB2XYZ,JO6", true);
    EXPECT_DOUBLE_EQ(cut.fitOf(layouts[0]), 1.0);
    EXPECT_DOUBLE_EQ(LayoutDetector("QA1ABC,FN31pr,,,Alice,,\nQB2XYZ,JO6").fitOf(layouts[0]), 0.5);
}
