// Seeded random callsign files in the three input layouts, with the odd lines real files carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// splitmix64: the same numbers with every standard library, so a failing seed reproduces anywhere.
struct SplitMix {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[below(from.size())];
    }
};

class CallFileGenerator {
  public:
    explicit CallFileGenerator(SplitMix& random) : random_(random) {
        const std::vector<std::string> prefixes{"K", "W", "N", "VE", "G", "4X", "DL", "JA", "KH6", "VK"};
        const std::vector<std::string> suffixes{"A", "AB", "ABC", "XYZ", "QQ", "ZZ"};
        for (int i = 0; i < 25; ++i) {
            std::string call =
                random_.pick(prefixes) + std::to_string(random_.below(10)) + random_.pick(suffixes);
            callPool_.push_back(
                random_.chance(10) ? call + random_.pick(std::vector<std::string>{"/P", "/QRP"}) : call);
        }
    }

    // A file of up to `maxLines` lines in `layout` (0, 1 or 2).
    std::string file(int layout, std::size_t maxLines) {
        std::string out = layout == 0 && random_.chance(10) ? "\xEF\xBB\xBF" : "";
        const std::size_t lines = random_.below(maxLines + 1);
        for (std::size_t i = 0; i < lines; ++i) {
            std::string text;
            if (random_.chance(20)) {
                text = random_.pick(nastyLines());
            } else {
                addRecord(layout, random_.pick(callPool_), text);
            }
            const bool unended = i + 1 == lines && random_.chance(30);
            out += text + (unended ? "" : random_.chance(50) ? "\r\n" : "\n");
        }
        if (!out.empty() && out.back() == '\n' && random_.chance(60)) {
            out += "ZZZZZZ,End-Of-Callsign-Database\r\n";
        }
        return out;
    }

  private:
    static const std::vector<std::string>& nastyLines() {
        static const std::vector<std::string> lines{"// Callsign database",
                                                    "",
                                                    "    ",
                                                    "Not a call,FN42",
                                                    "AB,too short",
                                                    "123456,only digits",
                                                    "// \xC3\xA9t\xC3\xA9 2024",
                                                    "Caf\xE9 list",
                                                    "ZZZZZZ,End-Of-Callsign-Database",
                                                    "  // indented, with K1ABC inside"};
        return lines;
    }
    std::string value(const std::vector<std::string>& choices) { return random_.pick(choices); }
    static std::string pad(const std::string& text, std::size_t width) {
        return text.size() < width ? text + std::string(width - text.size(), ' ') : text + ' ';
    }

    // Appends one station line to `text`.
    void addRecord(int layout, std::string written, std::string& text) {
        if (random_.chance(10)) {
            for (char& c : written) {
                c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
        }
        std::string grid = value({"", "FN42", "FN42ab", "JO31ld", "IO91"});
        std::string state = value({"", "MA", "ON", "NSW", "ca"});
        const std::string name =
            value({"", "Joe", "Ann*", "J\xC3\xB6rg", "J\xF6rg", "O'Neil", "Zo\xC3\xAB", "Ren\xE9"});
        const std::string email = value({"", "op@example.org", "x@y.net"});
        if (layout == 0) {
            const std::vector<std::string> fields{
                written, grid, value({"", "EME"}), state, name, email, value({"", "6M:1 2M:3", "432"})};
            const std::size_t kept = random_.chance(10) ? 1 + random_.below(fields.size()) : fields.size();
            for (std::size_t i = 0; i < kept; ++i) {
                text += (i == 0 ? "" : ",") + fields[i];
            }
            text += value({"", "", ",2023-04-01", ",20190101,extra", ","});
            return;
        }
        text = pad(written, 7) + pad(grid, 8) + pad(state, 4);
        if (layout == 1) {
            text += pad(name, 8);
            for (int band = 0; band < 4; ++band) {
                text += pad(value({"", "0", "1", "3", "9x"}), band == 3 ? 6 : 5);
            }
        } else {
            text += pad(name, 9);
        }
        // A column file has no use for commas, so a value may hold one.
        text += value({email, email, "Doe,J"});
    }

    SplitMix& random_;
    std::vector<std::string> callPool_;
};
