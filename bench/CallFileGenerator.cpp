// Builds callsign files whose calls, field lengths and oddities resemble published lists.
#include "CallFileGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

struct Station {
    std::string call;
    std::string grid;
    bool eme = false;
    std::string state;
    std::string name;
    std::string email;
    std::string station;
    std::string date;
    std::array<int, 4> bands{};  // 6M, 2M, 222, 432 for the old column layout; 0 is empty
};

// North American prefixes come up more often, as they do in the published lists.
constexpr std::array<std::string_view, 64> prefixes{
    "K",  "K",  "K",  "W",  "W",  "W",  "N",  "N",  "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AI",
    "KA", "KB", "KC", "KD", "WA", "WB", "VE", "VE", "VA", "G",  "M",  "DL", "DK", "DJ", "F",  "I",
    "IK", "IZ", "PA", "ON", "OH", "SM", "LA", "OZ", "SP", "OK", "OM", "HA", "YO", "LZ", "UA", "RA",
    "UR", "4X", "4Z", "VK", "ZL", "JA", "JH", "PY", "LU", "EA", "CT", "9A", "S5", "ES", "LY", "ZS"};

constexpr std::array<std::string_view, 30> usStates{
    "CT", "MA", "ME", "NH", "RI", "VT", "NY", "NJ", "PA", "DE", "MD", "VA", "NC", "SC", "GA",
    "FL", "AL", "TN", "OH", "MI", "IL", "IN", "WI", "MN", "IA", "MO", "TX", "CO", "CA", "WA"};
constexpr std::array<std::string_view, 6> provinces{"ON", "QC", "BC", "AB", "NS", "MB"};
constexpr std::array<std::string_view, 6> regions{"BY", "NRW", "BW", "HE", "NI", "SN"};

constexpr std::array<std::string_view, 48> asciiNames{
    "Bob",  "Jim",  "John", "Dave",  "Mike",   "Bill", "Tom",    "Al",    "Joe",    "Rich",  "Steve", "Paul",
    "Mark", "Ed",   "Ron",  "Gary",  "Larry",  "Ken",  "Dan",    "Frank", "Hans",   "Peter", "Klaus", "Wolf",
    "Jan",  "Piet", "Luc",  "Marco", "Gianni", "Jean", "Pierre", "Ivan",  "Sergei", "Yuri",  "Kazu",  "Hiro",
    "Lars", "Nils", "Olle", "Erik",  "Jose",   "Luis", "Carlos", "Ray",   "Chuck",  "Walt",  "Fred",  "Doug"};
// UTF-8 letters that Windows-1252 has and some it lacks.
constexpr std::array<std::string_view, 12> utf8Names{
    "J\u00fcrgen", "S\u00f8ren", "Jos\u00e9",      "Fran\u00e7ois", "\u0141ukasz", "Bj\u00f6rn",
    "Zolt\u00e1n", "H\u00e5kan", "Ji\u0159\u00ed", "\u00d6mer",     "Ren\u00e9",   "G\u00fcnter"};
constexpr std::array<std::string_view, 8> domains{"arrl.net", "gmail.com", "qsl.net", "yahoo.com",
                                                  "web.de",   "aol.com",   "gmx.de",  "comcast.net"};
constexpr std::array<std::string_view, 4> powers{"100W", "500W", "1kW", "1.5kW"};

bool isNorthAmerican(std::string_view prefix) {
    const char c = prefix.front();
    return c == 'K' || c == 'W' || c == 'N' || (c == 'A' && prefix.size() == 2);
}

template <std::size_t N>
std::string pick(SplitMix64& random, const std::array<std::string_view, N>& list) {
    return std::string(list[random.below(N)]);
}

class Builder {
  public:
    Builder(SplitMix64& random, bool portableCalls, bool longTexts)
        : random_(random), portableCalls_(portableCalls), longTexts_(longTexts) {}

    std::string uniqueCall(std::string_view& prefix) {
        for (;;) {
            prefix = prefixes[random_.below(prefixes.size())];
            std::string call(prefix);
            call += static_cast<char>('0' + random_.below(10));
            const std::size_t roll = random_.below(100);
            const std::size_t suffixLength = roll < 5 ? 1 : roll < 40 ? 2 : 3;
            for (std::size_t i = 0; i < suffixLength; ++i) {
                call += static_cast<char>('A' + random_.below(26));
            }
            if (portableCalls_ && random_.chance(0.01)) {
                call += random_.chance(0.5) ? "/P" : "/M";
            }
            if (used_.insert(call).second) {
                return call;
            }
        }
    }

    std::string grid() {
        const std::size_t roll = random_.below(100);
        if (roll < 5) {
            return {};
        }
        std::string text;
        text += static_cast<char>('A' + random_.below(18));
        text += static_cast<char>('A' + random_.below(18));
        text += static_cast<char>('0' + random_.below(10));
        text += static_cast<char>('0' + random_.below(10));
        if (roll >= 10) {
            text += static_cast<char>('a' + random_.below(24));
            text += static_cast<char>('a' + random_.below(24));
        }
        return text;
    }

    std::string name() {
        const std::size_t roll = random_.below(100);
        if (roll < 4) {
            return {};
        }
        return roll < (longTexts_ ? 50 : 8) ? pick(random_, utf8Names) : pick(random_, asciiNames);
    }

    std::string email(const std::string& call) {
        if (!random_.chance(0.6)) {
            return {};
        }
        std::string local = call.substr(0, call.find('/'));
        std::transform(local.begin(), local.end(), local.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        return local + "@" + pick(random_, domains);
    }

    std::string stationText() {
        if (!random_.chance(0.65)) {
            return {};
        }
        if (longTexts_) {
            std::string text = shortStationText();
            for (std::size_t parts = 3 + random_.below(12); parts > 0; --parts) {
                text +=
                    " " + shortStationText() + (random_.chance(0.3) ? " " + pick(random_, utf8Names) : "");
            }
            return text;
        }
        return shortStationText();
    }

    std::string shortStationText() {
        const auto n = [&](std::size_t low, std::size_t high) {
            return std::to_string(low + random_.below(high - low + 1));
        };
        switch (random_.below(6)) {
            case 0:
                return "6M:" + n(1, 5) + " 2M:" + n(1, 5);
            case 1:
                return "144: " + n(1, 8) + "x" + n(9, 17) + "el " + pick(random_, powers);
            case 2:
                return "2M:" + n(1, 5);
            case 3:
                return "432: " + n(1, 4) + "x" + n(19, 28) + "el " + n(1, 9) + "00W";
            case 4:
                return "6M:" + n(1, 5);
            default:
                return "2M:" + n(1, 5) + " 70:" + n(1, 5);
        }
    }

    std::string date() {
        return std::to_string(2015 + random_.below(10)) + "-" + twoDigits(1 + random_.below(12)) + "-" +
               twoDigits(1 + random_.below(28));
    }

    Station station() {
        Station s;
        std::string_view prefix;
        s.call = uniqueCall(prefix);
        s.grid = grid();
        s.eme = random_.chance(0.04);
        if (isNorthAmerican(prefix)) {
            s.state = random_.chance(0.85) ? pick(random_, usStates) : std::string();
        } else if (prefix == "VE" || prefix == "VA") {
            s.state = random_.chance(0.8) ? pick(random_, provinces) : std::string();
        } else if (random_.chance(0.1)) {
            s.state = pick(random_, regions);
        }
        s.name = name();
        s.email = email(s.call);
        s.station = stationText();
        if (random_.chance(0.3)) {
            for (int& band : s.bands) {
                band = random_.chance(0.5) ? static_cast<int>(1 + random_.below(5)) : 0;
            }
        }
        return s;
    }

    // A newer list's view of a known station: mostly the same, sometimes one field moved on.
    void touch(Station& s) {
        if (!random_.chance(0.3)) {
            return;
        }
        switch (random_.below(4)) {
            case 0:
                s.grid = grid();
                break;
            case 1:
                s.email = email(s.call);
                break;
            case 2:
                s.name = name();
                break;
            default:
                s.station = stationText();
                break;
        }
    }

  private:
    static std::string twoDigits(std::size_t n) {
        std::string text = std::to_string(n);
        if (text.size() < 2) {
            text.insert(text.begin(), '0');
        }
        return text;
    }

    SplitMix64& random_;
    bool portableCalls_;
    bool longTexts_;
    std::unordered_set<std::string> used_;
};

// A field the database's copy of a station lacks and the input has, for the merge to fill in.
void blankAField(Station& s, SplitMix64& random) {
    std::string* fields[] = {&s.grid, &s.name, &s.email, &s.station};
    for (std::size_t tries = 0; tries < 4; ++tries) {
        std::string* field = fields[random.below(4)];
        if (!field->empty()) {
            field->clear();
            return;
        }
    }
}

// Lines that hand-edited files hold besides their stations.
constexpr std::array<std::string_view, 9> oddLineTexts{"",
                                                       "    ",
                                                       "// edited by hand",
                                                       "Not a call,FN42",
                                                       "AB,too short",
                                                       "123456,only digits",
                                                       "// \xC3\xA9t\xC3\xA9 2024",
                                                       "Caf\xE9 list",
                                                       "  // indented, with K1ABC inside"};

// A station line as a hand-edited file may hold it.
std::string oddened(std::string line, int layout, SplitMix64& random) {
    switch (random.below(4)) {
        case 0:  // the call in lower case
            for (std::size_t i = 0; i < line.size() && line[i] != ',' && line[i] != ' '; ++i) {
                line[i] = static_cast<char>(line[i] >= 'A' && line[i] <= 'Z' ? line[i] - 'A' + 'a' : line[i]);
            }
            return line;
        case 1:  // fewer fields, or a comma inside a column value
            return layout == 0
                       ? line.substr(0, line.find(',', line.find(',') + 1))
                       : line + (line.size() < 48 ? std::string(48 - line.size(), ' ') : "") + "Doe,J";
        case 2:  // blanks around it
            return "  " + line + " \t";
        default:
            return line;
    }
}

std::string commaLine(const Station& s) {
    std::string line = s.call + "," + s.grid + "," + (s.eme ? "EME" : "") + "," + s.state + "," + s.name +
                       "," + s.email + "," + s.station;
    if (!s.date.empty()) {
        line += "," + s.date;
    }
    return line;
}

// Cuts to fit a column of `width` bytes with one blank after it, never inside a UTF-8 character.
void padColumn(std::string& line, std::string value, std::size_t width) {
    if (value.size() >= width) {
        std::size_t cut = width - 1;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        value.resize(cut);
    }
    line += value;
    line.append(width - value.size(), ' ');
}

std::string columnLine(const Station& s, int layout) {
    std::string line;
    padColumn(line, s.call, 7);
    padColumn(line, s.grid, 8);
    padColumn(line, s.state, 4);
    if (layout == 1) {
        padColumn(line, s.name, 8);
        padColumn(line, s.bands[0] ? std::to_string(s.bands[0]) : std::string(), 5);
        padColumn(line, s.bands[1] ? std::to_string(s.bands[1]) : std::string(), 5);
        padColumn(line, s.bands[2] ? std::to_string(s.bands[2]) : std::string(), 5);
        padColumn(line, s.bands[3] ? std::to_string(s.bands[3]) : std::string(), 6);
    } else {
        padColumn(line, s.name, 9);
    }
    line += s.email;
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

template <typename T>
void shuffle(std::vector<T>& items, SplitMix64& random) {
    for (std::size_t i = items.size(); i > 1; --i) {
        std::swap(items[i - 1], items[random.below(i)]);
    }
}

}  // namespace

GeneratedFiles CallFileGenerator::generate() const {
    if (options_.layout < 0 || options_.layout > 2) {
        throw std::invalid_argument("layout must be 0, 1 or 2");
    }
    if (!(options_.share >= 0.0 && options_.share <= 1.0) ||
        !(options_.repeats >= 0.0 && options_.repeats < 1.0)) {
        throw std::invalid_argument("share must be in [0, 1] and repeats in [0, 1)");
    }
    const std::vector<std::string> databaseComments{
        "// Callsign database for benchmarks, seed " + std::to_string(options_.seed),
        "// Call,Grid,EME,State,Name,Email,Station",
        "// Updated weekly; send corrections to the list keeper"};
    std::vector<std::string> inputComments;
    if (options_.layout == 0) {
        inputComments = {"// New stations and changes, seed " + std::to_string(options_.seed)};
    } else if (options_.layout == 1) {
        inputComments = {"CALL   GRID    ST  NAME    6M   2M   222  432   EMAIL",
                         "-----------------------------"};
    } else {
        inputComments = {"CALL   GRID    ST  NAME     EMAIL", "-----------------------------"};
    }
    const std::size_t databaseRecords =
        options_.lines > databaseComments.size() + 1 ? options_.lines - databaseComments.size() - 1 : 0;
    const std::size_t inputRecords =
        options_.lines > inputComments.size() ? options_.lines - inputComments.size() : 0;
    const auto repeatCount =
        static_cast<std::size_t>(std::llround(options_.repeats * static_cast<double>(inputRecords)));
    const std::size_t distinctCount = inputRecords - repeatCount;
    const double share = options_.shape == FileShape::AllNew ? 0.0 : options_.share;
    const auto sharedCount = std::min(
        databaseRecords, static_cast<std::size_t>(std::llround(share * static_cast<double>(distinctCount))));

    SplitMix64 random(options_.seed);
    // Column layouts have seven columns for the call, which a portable suffix would overflow.
    Builder builder(random, options_.layout == 0, options_.shape == FileShape::Long);

    std::vector<Station> database;
    database.reserve(databaseRecords);
    for (std::size_t i = 0; i < databaseRecords; ++i) {
        database.push_back(builder.station());
        if (random.chance(0.02)) {
            database.back().date = builder.date();
        }
    }

    std::vector<std::size_t> known(databaseRecords);
    for (std::size_t i = 0; i < known.size(); ++i) {
        known[i] = i;
    }
    shuffle(known, random);
    std::vector<Station> input;
    input.reserve(inputRecords);
    for (std::size_t i = 0; i < sharedCount; ++i) {
        input.push_back(database[known[i]]);
        if (options_.shape == FileShape::Updates && random.chance(0.9)) {
            blankAField(database[known[i]], random);
        }
        builder.touch(input.back());
        input.back().date = options_.layout == 0 && random.chance(0.02) ? builder.date() : std::string();
    }
    while (input.size() < distinctCount) {
        input.push_back(builder.station());
        if (options_.layout == 0 && random.chance(0.02)) {
            input.back().date = builder.date();
        }
    }
    for (std::size_t i = 0; i < repeatCount && distinctCount > 0; ++i) {
        Station again = input[random.below(distinctCount)];
        builder.touch(again);
        input.push_back(std::move(again));
    }
    shuffle(input, random);

    // Line ends as each file has them; files edited by hand mix both kinds.
    const auto lineEnd = [&](const char* usual) {
        return options_.oddLines > 0 && random.chance(0.5) ? "\n" : usual;
    };
    const auto addLine = [&](std::string& file, const std::string& line, int layout, const char* usual) {
        if (options_.oddLines > 0 && random.chance(options_.oddLines)) {
            if (random.chance(0.5)) {
                file += std::string(oddLineTexts[random.below(oddLineTexts.size())]) + lineEnd(usual);
            } else {
                file += oddened(line, layout, random) + lineEnd(usual);
                return;
            }
        }
        file += line + lineEnd(usual);
    };

    GeneratedFiles files;
    files.database.reserve(databaseRecords * 44);
    if (options_.oddLines > 0 && random.chance(0.2)) {
        files.database += "\xEF\xBB\xBF";  // as some editors save a file
    }
    for (const std::string& comment : databaseComments) {
        files.database += comment + "\r\n";
    }
    for (const Station& s : database) {
        addLine(files.database, commaLine(s), 0, "\r\n");
    }
    files.database += "ZZZZZZ,End-Of-Callsign-Database\r\n";
    if (options_.shape == FileShape::Same) {
        files.input = files.database;
        return files;
    }

    files.input.reserve(inputRecords * 44);
    for (const std::string& comment : inputComments) {
        files.input += comment + "\n";
    }
    for (const Station& s : input) {
        addLine(files.input, options_.layout == 0 ? commaLine(s) : columnLine(s, options_.layout),
                options_.layout, "\n");
    }
    return files;
}

std::optional<FileShape> shapeNamed(std::string_view name) {
    const std::pair<std::string_view, FileShape> shapes[] = {{"standard", FileShape::Standard},
                                                             {"updates", FileShape::Updates},
                                                             {"new", FileShape::AllNew},
                                                             {"same", FileShape::Same},
                                                             {"long", FileShape::Long}};
    for (const auto& [shapeName, shape] : shapes) {
        if (name == shapeName) {
            return shape;
        }
    }
    return std::nullopt;
}
