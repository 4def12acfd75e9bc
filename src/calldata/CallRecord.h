// One line of a callsign file: a station with named field values, or a comment line.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calldata/FieldDefinition.h"
#include "calldata/TextEncoding.h"

// What a field that the record's layout lacks reads as.
inline constexpr std::string_view unknownField{"unknown"};

class CallRecord {
  public:
    explicit CallRecord(const FieldDefinition* layout = nullptr) : layout(layout) {}
    // A record made again from a trimmed line of `layout` and the call length that it gave (see
    // plainCallLength), without a cut.
    CallRecord(const FieldDefinition* layout, std::string_view plainLine, std::size_t callLength);
    CallRecord(const CallRecord& other);
    CallRecord& operator=(const CallRecord& other);
    CallRecord(CallRecord&& other) noexcept;
    CallRecord& operator=(CallRecord&& other) noexcept;
    ~CallRecord() = default;

    const FieldDefinition* layout = nullptr;

    // In the difference list: the database record with the same call; null for any other record.
    [[nodiscard]] CallRecord* match() const { return own_ ? own_->match : nullptr; }
    void setMatch(CallRecord* record);

    // The source line, trimmed; for a comment record the whole comment line.
    [[nodiscard]] std::string_view line() const { return lineIsText_ ? text() : own_->lineView; }
    // Gives the record its own copy of a line (to be cut by parseLine, or a comment line).
    void setLine(std::string text);

    // The call sign: the first value; empty when the record has no values.
    [[nodiscard]] std::string_view call() const { return {textData_, callLength()}; }
    // The values in the field order of `layout`; empty for a comment or a record not yet cut.
    [[nodiscard]] std::vector<std::string> values() const;
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

    // Takes other's values, extra fields and layout; line, isComment and match stay.
    void copyFrom(const CallRecord& other);
    // Identity test after a manual edit: every own field agrees with other's.
    [[nodiscard]] bool sameAs(const CallRecord& other) const;
    // The same layout and, byte for byte, the same values and extra fields.
    [[nodiscard]] bool hasSameValues(const CallRecord& other) const {
        return layout == other.layout && valueCount_ == other.valueCount_ && text() == other.text();
    }
    // Fills the own values for the own layout from a record of any layout.
    void convertFrom(const CallRecord& source);
    // The station text built from the band values (P1..P4).
    [[nodiscard]] std::string stationFromBands() const;
    // "Call,Grid,EME,State,Name,Email,Station" followed by any extra fields.
    [[nodiscard]] std::string databaseLine() const;
    // The same, appended to `out` (writing a file needs no line of its own per record).
    void appendDatabaseLine(std::string& out) const;

    // Cuts the own line into values with the own layout, or marks the record a comment.
    void parseLine(TextEncoding encoding = TextEncoding::Windows1252);
    // The same for a line in bytes that outlive the record (a file's text kept by its record list): the
    // record then keeps no copy of it unless a value must be normalised.
    void parseSharedLine(std::string_view line, TextEncoding encoding);
    // The call's length when the record's values are its line as it stands (a line already in the form
    // the database writes), else 0: such a record can be made again from its line alone.
    [[nodiscard]] std::size_t plainCallLength() const;
    // How a trimmed line of a comma-delimited layout in the database's field order reads without being
    // cut: a comment (its first field is no call), a plain line (see plainCallLength; callLength is its
    // call's length), or neither, a line with something to normalise, which only a cut can tell.
    struct PlainCheck {
        bool comment = false;
        std::size_t callLength = 0;  // 0: not plain
    };
    [[nodiscard]] static PlainCheck checkPlainLine(std::string_view text, std::size_t fieldCount);
    // Re-encodes the line, the values and the extra fields, normalising state and grid as a file in `to`
    // would.
    void convertEncoding(TextEncoding from, TextEncoding to);

    // The most values a record holds; layouts have far fewer fields.
    static constexpr std::size_t maxValueCount = 127;

  private:
    // Text the record keeps for itself: a line given to it, values that differ from its line's, and the
    // line's view once the values are not the line itself. Also what few records need: a match, and the
    // length of a call too long for callLength_.
    // Kept small too, as every differing record and every record the merge changes has one.
    struct OwnText {
        OwnText() = default;
        OwnText(const OwnText& other);
        OwnText& operator=(const OwnText&) = delete;
        ~OwnText() = default;

        std::unique_ptr<std::string> line;  // only a line given to the record, which few records have
        std::string values;
        std::string_view lineView;
        CallRecord* match = nullptr;
        std::uint32_t callLength = 0;
    };

    // callLength_ of a call whose length own_ keeps (only malformed files have calls that long).
    static constexpr std::uint16_t longCall = 0xFFFF;

    [[nodiscard]] std::size_t callLength() const {
        return callLength_ != longCall ? callLength_ : own_->callLength;
    }
    void setCallLength(std::size_t length);
    void setValueCount(std::size_t count);

    // The values as comma fields; while lineIsText_, the line itself.
    [[nodiscard]] std::string_view text() const { return {textData_, textSize_}; }
    void setText(std::string_view text) {
        textData_ = text.data();
        textSize_ = static_cast<std::uint32_t>(text.size());
    }
    // Keeps the line where it is before the values stop being the line.
    void detachLine();

    // The values as comma fields in layout order, then the extra fields.
    void setValueText(std::string text, std::size_t callLength);
    void cut(std::string_view line, TextEncoding encoding);
    [[nodiscard]] bool cutDatabaseLine();
    [[nodiscard]] std::string_view value(std::size_t index) const;
    [[nodiscard]] std::vector<std::string_view> valueViews() const;
    [[nodiscard]] OwnText& own();

    // Kept small, as a file has a record per line: the values (or the line) are a view into a file's text
    // or into own_, which only records with values of their own, a match or a very long call have.
    const char* textData_ = nullptr;
    std::unique_ptr<OwnText> own_;
    std::uint32_t textSize_ = 0;
    std::uint16_t callLength_ = 0;
    std::uint8_t valueCount_ : 7 = 0;  // 0 for a comment or a record not yet cut
    bool lineIsText_ : 1 = true;

  public:
    // Declared last so that it fills the space after the small members above.
    bool isComment = false;
};

// Two million records are held at once in a large merge.
static_assert(sizeof(CallRecord) <= 32 || sizeof(void*) != 8, "a record must stay within 32 bytes");
static_assert(CallRecord::maxValueCount < (1U << 7), "valueCount_ must hold maxValueCount");

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
