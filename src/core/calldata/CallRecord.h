// One line of a callsign file: a station with named field values, or a comment line.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/FieldDefinition.h"
#include "core/calldata/RecordText.h"
#include "core/calldata/TextEncoding.h"

// What a field that the record's layout lacks reads as.
inline constexpr std::string_view unknownField{"unknown"};

class CallRecord {
  public:
    explicit CallRecord(const FieldDefinition* layout = nullptr) : layout(layout) {}

    const FieldDefinition* layout = nullptr;

    [[nodiscard]] bool isComment() const { return text_.isComment(); }
    // In the difference list: the database record with the same call; null for any other record.
    [[nodiscard]] CallRecord* match() const { return text_.match(); }
    void setMatch(CallRecord* record) { text_.setMatch(record); }

    // The source line, trimmed; for a comment record the whole comment line.
    [[nodiscard]] std::string_view line() const { return text_.line(); }
    // The call sign: the first value; empty when the record has no values.
    [[nodiscard]] std::string_view call() const;
    // The values in the field order of `layout`; empty for a comment or a record not yet cut.
    [[nodiscard]] std::vector<std::string> values() const;
    // The same as comma fields, followed by the extra fields, without a copy.
    [[nodiscard]] std::string_view valueText() const { return text_.values(); }
    // Replaces all values at once, in the field order of `layout` (commas become semicolons); of more
    // than maxValueCount values, the rest are not kept.
    void assignValues(const std::vector<std::string>& values);
    // Whatever follows the last field of a comma line (from its comma on), written back unchanged,
    // so that fields the layout does not name (such as a date) are never dropped.
    [[nodiscard]] std::string_view extraFields() const;

    // A copy of the named value, or "unknown" when the layout lacks the field.
    [[nodiscard]] std::string getField(std::string_view name) const { return std::string(fieldView(name)); }
    // The same without a copy; valid until the record changes.
    [[nodiscard]] std::string_view fieldView(std::string_view name) const;
    // All values without copies, in one walk: fills as many of `views` as it holds and returns the
    // number of values. Valid until the record changes.
    std::size_t viewValues(std::span<std::string_view> views) const;

    [[nodiscard]] std::string getGrid() const { return getField("Grid"); }
    [[nodiscard]] std::string getState() const { return getField("State"); }
    [[nodiscard]] std::string getName() const { return getField("Name"); }
    [[nodiscard]] std::string getP1() const { return getField("P1"); }
    [[nodiscard]] std::string getP2() const { return getField("P2"); }
    [[nodiscard]] std::string getP3() const { return getField("P3"); }
    [[nodiscard]] std::string getP4() const { return getField("P4"); }
    [[nodiscard]] std::string getEmail() const { return getField("Email"); }
    [[nodiscard]] std::string getEme() const { return getField("EME"); }
    [[nodiscard]] std::string getStation() const { return getField("Station"); }
    [[nodiscard]] bool hasEmeFlag() const { return fieldView("EME") == "EME"; }

    // Replaces the named value (a comma in it becomes a semicolon); a field the layout lacks is silently
    // not written.
    void setField(std::string_view name, std::string text);
    // Stores the low 16 bits of n as unsigned decimal text.
    void setFieldNumber(std::string_view name, long long n);

    // Replaces the values with a text that valueText gave, of the same layout.
    void setValueText(std::string_view values) { text_.setValues(std::string(values), text_.valueCount()); }
    // Takes other's values, extra fields and layout; the line and the match stay.
    void copyFrom(const CallRecord& other);
    // Identity test after a manual edit: every own field agrees with other's.
    [[nodiscard]] bool sameAs(const CallRecord& other) const;
    // The same layout and, byte for byte, the same values and extra fields.
    [[nodiscard]] bool hasSameValues(const CallRecord& other) const {
        return layout == other.layout && text_.valueCount() == other.text_.valueCount() &&
               text_.values() == other.text_.values();
    }
    // Fills the own values for the own layout from a record of any layout.
    void convertFrom(const CallRecord& source);
    // The station text built from the band values (P1..P4).
    [[nodiscard]] std::string stationFromBands() const;
    // "Call,Grid,EME,State,Name,Email,Station" followed by any extra fields.
    [[nodiscard]] std::string databaseLine() const;
    // The same, appended to `out` (writing a file needs no line of its own per record).
    void appendDatabaseLine(std::string& out) const;

    // Cuts a line into values with the own layout, or makes the record a comment. The line's bytes must
    // outlive the record (a file's text that the record's list keeps): the record keeps no copy of them
    // unless a value must be normalised.
    void cutLine(std::string_view line, TextEncoding encoding);
    // Takes a trimmed line in which checkPlainLine found a plain line as the record's values, without a cut;
    // the line's bytes must outlive the record, as for cutLine.
    void takePlainLine(std::string_view trimmed) { text_.setPlain(trimmed, layout->fields.size()); }
    // The same for a line the record keeps a copy of.
    void cutOwnLine(std::string line, TextEncoding encoding = TextEncoding::Windows1252);
    // Makes the record the comment line `line`.
    void makeComment(std::string line);
    // Re-encodes the line, the values and the extra fields, normalising state and grid as a file in `to`
    // would.
    void convertEncoding(TextEncoding from, TextEncoding to);

    // How a trimmed line of a comma-delimited layout in the database's field order reads without being
    // cut: a comment (its first field is no call), a plain line (already in the form the database writes,
    // nothing to normalise), or neither, a line with something to normalise, which only a cut can tell.
    struct PlainCheck {
        bool comment = false;
        bool plain = false;
    };
    [[nodiscard]] static PlainCheck checkPlainLine(std::string_view text, std::size_t fieldCount);

    // The most values a record holds; layouts have far fewer fields.
    static constexpr std::size_t maxValueCount = 127;

  private:
    void cutFields(std::string_view trimmed, TextEncoding encoding);
    [[nodiscard]] std::string_view value(std::size_t index) const;
    [[nodiscard]] std::vector<std::string_view> valueViews() const;

    RecordText text_;
};

// A large merge holds millions of records at once.
static_assert(sizeof(CallRecord) <= 32 || sizeof(void*) != 8, "a record must stay within 32 bytes");

// Blanks, tabs and line ends, as trimmed from lines and skipped in column fields.
[[nodiscard]] bool isWhiteSpace(char c);
[[nodiscard]] std::string_view trimWhiteSpace(std::string_view text);

[[nodiscard]] std::string extractField(std::string_view line, std::size_t position, std::size_t end,
                                       bool commaDelimited);
[[nodiscard]] bool isValidCall(std::string_view text);
void normaliseGrid(std::string& text);
// A comma inside a value would split it, and shift every field after it, once the value is written to
// the comma-delimited database; it becomes a semicolon.
void keepOutCommas(std::string& value);
