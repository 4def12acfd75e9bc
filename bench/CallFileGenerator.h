// Deterministic generator of realistic callsign databases and input lists for benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A splitmix64 sequence: the same seed gives the same files on every platform and library, which
// std::mt19937 with the standard distributions does not promise.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31U);
    }
    // Uniform in [0, bound); the tiny modulo bias does not matter for test data.
    std::size_t below(std::size_t bound) { return bound == 0 ? 0 : static_cast<std::size_t>(next() % bound); }
    // True with probability `p`.
    bool chance(double p) { return static_cast<double>(next() >> 11U) * 0x1.0p-53 < p; }

  private:
    std::uint64_t state_;
};

// What the two files look like beside each other.
enum class FileShape {
    Standard,  // a newer list: a few of its known calls changed in some field
    Updates,   // most known calls lack a field the input has, so that the merge fills it in
    AllNew,    // no call of the input is in the database
    Same,      // the input is the database, byte for byte
    Long,      // long station texts, and many names outside ASCII
};

struct GeneratorOptions {
    std::size_t lines = 100000;  // lines of each file, comment lines and the end marker included
    int layout = 0;              // the input's layout: 0, 1 or 2
    double share = 0.5;          // share of the input's distinct calls that the database holds
    double repeats = 0.01;       // share of the input's lines that repeat a call of the input
    FileShape shape = FileShape::Standard;
    // Share of lines, in both files, that are odd the way hand-edited files are: comments, blank or short
    // lines, lower-case calls, commas in column values, and line ends of both kinds.
    double oddLines = 0.0;
    std::uint64_t seed = 20240601;
};

// The shape's name as the generator's --shape option takes it ("standard", "updates", "new", "same",
// "long"); nothing for another name.
[[nodiscard]] std::optional<FileShape> shapeNamed(std::string_view name);

struct GeneratedFiles {
    std::string database;  // layout 0, CR LF line ends, the end marker last
    std::string input;     // layout `layout`, LF line ends
};

class CallFileGenerator {
  public:
    explicit CallFileGenerator(const GeneratorOptions& options) : options_(options) {}

    // Throws std::invalid_argument for a layout or share that cannot be produced.
    [[nodiscard]] GeneratedFiles generate() const;

  private:
    GeneratorOptions options_;
};
