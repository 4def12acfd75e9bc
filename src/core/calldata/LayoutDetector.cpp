// Judging a file's layout by how well its first lines read with each one.
#include "core/calldata/LayoutDetector.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/calldata/CallRecord.h"

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool isLetter(char c, char last) {
    return upper(c) >= 'A' && upper(c) <= last;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the word at or after `column` starts close to it. The reading skips any number of blanks to the
// last column's value; in a file of another column layout the value found is a later column's.
bool startsNear(std::string_view line, std::size_t column) {
    constexpr std::size_t slack = 8;
    std::size_t at = column;
    while (at < line.size() && isWhiteSpace(line[at])) {
        ++at;
    }
    return at >= line.size() || at <= column + slack;
}

// A Maidenhead locator: two letters A to R, two digits, then pairs of letters A to X and digits.
bool isLocator(std::string_view text) {
    if (text.size() < 4 || text.size() % 2 != 0 || text.size() > 10) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t pair = i / 2;
        const bool ok = pair == 0  ? isLetter(text[i], 'R')
                        : pair % 2 ? isDigit(text[i])
                                   : isLetter(text[i], 'X');
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

bool isNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c); });
}

// Digits and the marks dates and times are written with: "2019-11-11", "04/04".
bool isDate(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isDigit) &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return isDigit(c) || c == '-' || c == '/' || c == '.' || c == ':'; });
}

bool isEmail(std::string_view text) {
    return text.find('@') != text.npos && std::none_of(text.begin(), text.end(), isWhiteSpace);
}

bool isShortCode(std::string_view text) {
    return text.size() <= 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return isLetter(c, 'Z') || isDigit(c); });
}

// Whether a value looks like what its field holds. Names and station texts may be anything.
bool looksRight(std::string_view field, std::string_view value, bool commaDelimited) {
    if (value.empty()) {
        return true;
    }
    if (!commaDelimited && value.find(',') != value.npos) {
        return false;  // a comma file cut into columns
    }
    if (field == "Grid") {
        return isLocator(value);
    }
    if (field == "EME") {
        return sameLetters(value, "EME");
    }
    if (field == "State") {
        return value.size() <= 6 && std::none_of(value.begin(), value.end(), isWhiteSpace);
    }
    if (field == "Email") {
        return isEmail(value);
    }
    if (field.size() == 2 && field[0] == 'P') {
        return isNumber(value);
    }
    return true;
}

// The lines of the text's start, trimmed, without the empty ones. A file without any line feed ends its
// lines at carriage returns.
std::vector<std::string> sampleOf(std::string_view text, bool cut) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    const char end = text.find('\n') != text.npos ? '\n' : '\r';
    if (cut) {
        const std::size_t lastEnd = text.rfind(end);
        text = text.substr(0, lastEnd == text.npos ? 0 : lastEnd);
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < LayoutDetector::sampleLines) {
        const std::size_t stop = std::min(text.find(end, start), text.size());
        const std::string_view line = trimWhiteSpace(text.substr(start, stop - start));
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        start = stop + 1;
    }
    return lines;
}

std::vector<std::string> commaCells(std::string_view line) {
    return columnsOf(line);
}

// A header's name for a column, as the program names it; "" when it is none the program knows.
std::string knownColumn(std::string_view cell) {
    std::string word;
    for (const char c : cell) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 22> synonyms{{
        {"call", "Call"},
        {"callsign", "Call"},
        {"calls", "Call"},
        {"grid", "Grid"},
        {"locator", "Grid"},
        {"loc", "Grid"},
        {"qth", "Grid"},
        {"qthlocator", "Grid"},
        {"gridsquare", "Grid"},
        {"eme", "EME"},
        {"state", "State"},
        {"st", "State"},
        {"name", "Name"},
        {"op", "Name"},
        {"operator", "Name"},
        {"email", "Email"},
        {"mail", "Email"},
        {"station", "Station"},
        {"stationdata", "Station"},
        {"equipment", "Station"},
        {"rig", "Station"},
        {"info", "Station"},
    }};
    for (const auto& [synonym, name] : synonyms) {
        if (word == synonym) {
            return std::string(name);
        }
    }
    return {};
}

// What the values of one comma column look like.
struct ColumnShape {
    std::size_t values = 0;  // not empty
    std::size_t calls = 0;
    std::size_t locators = 0;
    std::size_t emeFlags = 0;
    std::size_t emails = 0;
    std::size_t codes = 0;  // short letter codes, as states are written
    std::size_t numbers = 0;
    std::size_t dates = 0;
    std::size_t words = 0;  // text without digits
    std::size_t length = 0;

    void add(std::string_view value) {
        if (value.empty()) {
            return;
        }
        ++values;
        std::string call(value);
        std::transform(call.begin(), call.end(), call.begin(), upper);
        calls += isValidCall(call) ? 1 : 0;
        locators += isLocator(value) ? 1 : 0;
        emeFlags += sameLetters(value, "EME") ? 1 : 0;
        emails += isEmail(value) ? 1 : 0;
        numbers += isNumber(value) ? 1 : 0;
        dates += isDate(value) ? 1 : 0;
        codes += isShortCode(value) && !isNumber(value) ? 1 : 0;
        words += std::none_of(value.begin(), value.end(), isDigit) ? 1 : 0;
        length += value.size();
    }
    [[nodiscard]] double share(std::size_t count) const {
        return values == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(values);
    }
};

}  // namespace

LayoutDetector::LayoutDetector(std::string_view text, bool cut) : lines_(sampleOf(text, cut)) {
    anyRecord_.assign(lines_.size(), false);
    std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    if (std::optional<FieldDefinition> guessed = customCommaLayout(guessColumns())) {
        layouts[customLayoutIndex] = std::move(*guessed);
    }
    for (const FieldDefinition& layout : layouts) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            bool isRecord = false;
            (void)fits(lines_[i], layout, &isRecord);
            anyRecord_[i] = anyRecord_[i] || isRecord;
        }
    }
}

bool LayoutDetector::fits(std::string_view line, const FieldDefinition& layout, bool* isRecord) const {
    *isRecord = false;
    const std::vector<FieldEntry>& fields = layout.fields;
    bool allRight = true;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t end = i + 1 < fields.size() ? fields[i + 1].position : line.size();
        if (!layout.commaDelimited && i + 1 == fields.size() && !startsNear(line, fields[i].position)) {
            allRight = false;  // the last column of a line in another column layout, found further on
        }
        std::string value = extractField(line, fields[i].position, end, layout.commaDelimited);
        if (fields[i].fieldName == "Call") {
            std::transform(value.begin(), value.end(), value.begin(), upper);
            if (!isValidCall(value)) {
                return false;
            }
            *isRecord = true;
        } else if (!looksRight(fields[i].fieldName, value, layout.commaDelimited)) {
            allRight = false;
        }
    }
    return *isRecord && allRight;
}

double LayoutDetector::fitOf(const FieldDefinition& layout) const {
    std::size_t records = 0;
    std::size_t fitting = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        bool isRecord = false;
        const bool fit = fits(lines_[i], layout, &isRecord);
        records += anyRecord_[i] || isRecord ? 1 : 0;
        fitting += fit ? 1 : 0;
    }
    return records == 0 ? 0.0 : static_cast<double>(fitting) / static_cast<double>(records);
}

bool LayoutDetector::fitsWell(const std::vector<std::string>& columns) const {
    const std::optional<FieldDefinition> layout = customCommaLayout(columns);
    return layout && fitOf(*layout) >= goodFit;
}

bool LayoutDetector::hasRecords() const {
    return std::find(anyRecord_.begin(), anyRecord_.end(), true) != anyRecord_.end();
}

LayoutDetector::Guess LayoutDetector::guess(const std::vector<FieldDefinition>& layouts) const {
    Guess guess;
    guess.columns = guessColumns(&guess.headerFound);
    const std::optional<FieldDefinition> custom = customCommaLayout(guess.columns);
    for (std::size_t i = 0; i < layouts.size() && i < guess.scores.size(); ++i) {
        if (static_cast<int>(i) == customLayoutIndex) {
            guess.scores[i] = custom ? fitOf(*custom) : 0.0;
        } else {
            guess.scores[i] = fitOf(layouts[i]);
        }
    }
    // The built-in layouts first: columns made to fit the file only win when they fit clearly better.
    constexpr double customMargin = 0.1;
    const auto builtIn = std::max_element(guess.scores.begin(), guess.scores.begin() + customLayoutIndex);
    guess.best = static_cast<int>(builtIn - guess.scores.begin());
    if (guess.scores[customLayoutIndex] > *builtIn + customMargin) {
        guess.best = customLayoutIndex;
    }
    double runnerUp = 0;
    for (std::size_t i = 0; i < customLayoutIndex; ++i) {
        if (static_cast<int>(i) != guess.best) {
            runnerUp = std::max(runnerUp, guess.scores[i]);
        }
    }
    guess.confidence = std::max(0.0, guess.scores[static_cast<std::size_t>(guess.best)] - runnerUp);
    if (guess.scores[static_cast<std::size_t>(guess.best)] == 0) {
        guess.best = -1;
    }
    return guess;
}

std::vector<std::string> LayoutDetector::guessColumns(bool* fromHeader) const {
    std::vector<std::string> columns = columnsFromHeader();
    if (fromHeader != nullptr) {
        *fromHeader = !columns.empty();
    }
    if (columns.empty()) {
        columns = columnsFromValues();
    }
    while (!columns.empty() && columns.back().empty()) {
        columns.pop_back();
    }
    return columns;
}

std::vector<std::vector<std::string>> LayoutDetector::cells(std::size_t rows) const {
    std::vector<std::vector<std::string>> table;
    for (std::size_t i = 0; i < lines_.size() && i < rows; ++i) {
        table.push_back(commaCells(lines_[i]));
    }
    return table;
}

std::vector<std::string> LayoutDetector::columnsFromHeader() const {
    return lines_.empty() ? std::vector<std::string>() : headerColumns(lines_.front());
}

std::vector<std::string> LayoutDetector::headerColumns(std::string_view line) {
    line = trimWhiteSpace(line);
    while (!line.empty() && (line.front() == '/' || line.front() == '#' || line.front() == ';' ||
                             isWhiteSpace(line.front()))) {
        line.remove_prefix(1);  // a header may be written as a comment
    }
    std::vector<std::string> columns = commaCells(line);
    std::size_t named = 0;
    for (std::string& column : columns) {
        column = knownColumn(column);
        named += column.empty() ? 0 : 1;
    }
    const bool hasCall = std::find(columns.begin(), columns.end(), "Call") != columns.end();
    return hasCall && named >= 2 && customCommaLayout(columns) ? columns : std::vector<std::string>();
}

std::vector<std::string> LayoutDetector::columnsFromValues() const {
    std::vector<ColumnShape> shapes;
    for (const std::string& line : lines_) {
        if (line.find(',') == line.npos || line.rfind("//", 0) == 0) {
            continue;
        }
        const std::vector<std::string> values = commaCells(line);
        shapes.resize(std::max(shapes.size(), std::min<std::size_t>(values.size(), 32)));
        for (std::size_t c = 0; c < values.size() && c < shapes.size(); ++c) {
            shapes[c].add(trimWhiteSpace(values[c]));
        }
    }
    std::vector<std::string> columns(shapes.size());
    // The free column with the largest share of values of a kind, if that share is at least `least`.
    const auto take = [&](std::size_t ColumnShape::*count, double least, std::string_view name) {
        std::optional<std::size_t> chosen;
        for (std::size_t c = 0; c < shapes.size(); ++c) {
            const double share = shapes[c].share(shapes[c].*count);
            if (columns[c].empty() && share >= least &&
                (!chosen || share > shapes[*chosen].share(shapes[*chosen].*count))) {
                chosen = c;
            }
        }
        if (chosen) {
            columns[*chosen] = name;
        }
    };
    take(&ColumnShape::calls, 0.5, "Call");
    take(&ColumnShape::locators, 0.5, "Grid");
    take(&ColumnShape::emails, 0.5, "Email");
    take(&ColumnShape::emeFlags, 0.8, "EME");
    take(&ColumnShape::codes, 0.8, "State");
    take(&ColumnShape::words, 0.5, "Name");
    // The station text is the longest of the rest.
    std::optional<std::size_t> longest;
    for (std::size_t c = 0; c < shapes.size(); ++c) {
        const double average = shapes[c].values == 0 ? 0.0
                                                     : static_cast<double>(shapes[c].length) /
                                                           static_cast<double>(shapes[c].values);
        if (columns[c].empty() && average >= 8 && shapes[c].share(shapes[c].dates) < 0.5 &&
            (!longest ||
             shapes[c].length * shapes[*longest].values > shapes[*longest].length * shapes[c].values)) {
            longest = c;
        }
    }
    if (longest) {
        columns[*longest] = "Station";
    }
    return columns;
}
