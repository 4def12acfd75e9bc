// What reading one callsign file found out about the file itself.
#pragma once

#include "core/calldata/TextEncoding.h"

struct ReadResult {
    bool opened = false;            // false: the file was gone or not a regular file any more
    bool hadByteOrderMark = false;  // the file began with a UTF-8 byte-order mark
    TextEncoding encoding = TextEncoding::Windows1252;  // of the records and comments as read
    bool hasNonAscii = false;                           // the file had bytes outside ASCII
    // Whether the file tells its encoding: by bytes outside ASCII, or by a byte-order mark, which says
    // UTF-8 even of a file that is all ASCII after it.
    [[nodiscard]] bool encodingKnown() const { return hasNonAscii || hadByteOrderMark; }
};
