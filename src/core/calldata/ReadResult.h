// What reading one callsign file found out about the file itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/calldata/TextEncoding.h"

// A line left out because its call came earlier in the same file: the first line of a call wins.
struct DroppedLine {
    std::uint32_t line = 0;  // counted from 1
    std::string text;
    std::uint32_t keptLine = 0;
    std::string keptText;
};

// A station line whose call holds a slash: a portable mark, a call area or a country prefix beside the
// station's own call. Few calls do; these are the ones that may nearly meet a call of the other file.
struct SlashedCall {
    std::string call;
    std::uint32_t line = 0;  // counted from 1
    std::string text;        // the line without blanks around it, in the encoding of the records
};

struct ReadResult {
    bool opened = false;            // false: the file was gone or not a regular file any more
    bool hadByteOrderMark = false;  // the file began with a UTF-8 byte-order mark
    TextEncoding encoding = TextEncoding::Windows1252;  // of the records and comments as read
    bool hasNonAscii = false;                           // the file had bytes outside ASCII
    // Whether the file tells its encoding: by bytes outside ASCII, or by a byte-order mark, which says
    // UTF-8 even of a file that is all ASCII after it.
    [[nodiscard]] bool encodingKnown() const { return hasNonAscii || hadByteOrderMark; }

    // What the reading left out of the records, in file order: lines of a call met before, and the line
    // numbers of the comment lines it appended (the end marker is neither).
    std::vector<DroppedLine> duplicates;
    std::vector<std::uint32_t> commentLines;
    // Noted as the lines go by, in file order, so that nobody has to visit every record for them later.
    std::vector<SlashedCall> slashedCalls;
};
