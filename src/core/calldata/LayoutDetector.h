// Which layout a callsign file is in, judged from its first lines: merging with the wrong layout shifts
// every field of every record, so the program looks before it reads.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/FieldDefinition.h"

class LayoutDetector {
  public:
    struct Guess {
        // Per layout of the list, the share of the file's records that fit it (0 to 1). The last is for
        // `columns`, a comma layout made to fit the file's columns (none when it has no call column).
        std::array<double, layoutNames.size()> scores{};
        std::vector<std::string> columns;
        int best = -1;             // the layout that fits best; -1 when none reads a single record
        double confidence = 0;     // how far ahead of the next best it is (0 to 1)
        bool headerFound = false;  // the columns were named by a header line
    };

    // Looks at the first lines of `text`. `cut`: the text is only the start of the file, so its last line
    // may be cut short and is not looked at.
    explicit LayoutDetector(std::string_view text, bool cut = false);

    // The share of the lines that some layout reads as records which `layout` reads as records whose values
    // all look right: a grid a locator, an EME flag "EME", an e-mail address with its "@", band values
    // numbers, and no comma inside a column value. 0 when no line reads as a record.
    [[nodiscard]] double fitOf(const FieldDefinition& layout) const;
    // Whether the columns make a comma layout (see customCommaLayout) that fits.
    [[nodiscard]] bool fitsWell(const std::vector<std::string>& columns) const;
    // Whether some layout reads a line of the sample as a record.
    [[nodiscard]] bool hasRecords() const;
    // Scores the list's layouts, and names the best.
    [[nodiscard]] Guess guess(const std::vector<FieldDefinition>& layouts) const;
    // What each comma column seems to hold, as a layout of the user's making names it ("" for nothing the
    // program knows). Taken from a header line when there is one, else from the values.
    [[nodiscard]] std::vector<std::string> guessColumns(bool* fromHeader = nullptr) const;
    // The columns a header line names, as guessColumns gives them; empty when the line is no header.
    [[nodiscard]] static std::vector<std::string> headerColumns(std::string_view line);
    // The first `rows` lines cut at their commas, as the layout editor shows them.
    [[nodiscard]] std::vector<std::vector<std::string>> cells(std::size_t rows) const;

    // A score at or above this fits: most of the records read with the layout look right.
    static constexpr double goodFit = 0.5;
    // Lines looked at.
    static constexpr std::size_t sampleLines = 300;
    // Bytes of a file's start that hold enough lines.
    static constexpr std::size_t sampleBytes = 256 * 1024;

  private:
    [[nodiscard]] bool fits(std::string_view line, const FieldDefinition& layout, bool* isRecord) const;
    [[nodiscard]] std::vector<std::string> columnsFromHeader() const;
    [[nodiscard]] std::vector<std::string> columnsFromValues() const;

    std::vector<std::string> lines_;  // trimmed, not empty
    // Lines that a built-in layout or the guessed columns read as records.
    std::vector<bool> anyRecord_;
};
