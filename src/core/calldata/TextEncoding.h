// Which 8-bit encoding a file's bytes are in, and the case rules that never break a character.
#pragma once

#include <string>
#include <string_view>

enum class TextEncoding {
    Windows1252,  // any byte is a character
    Utf8,         // every non-ASCII byte belongs to a valid UTF-8 sequence
};

[[nodiscard]] bool isValidUtf8(std::string_view bytes);

// Upper-cases in place: Windows-1252 lower-case letters, or ASCII letters only for UTF-8.
void toUpperInPlace(std::string& text, TextEncoding encoding);

// Text for display: kept as it is when valid UTF-8, otherwise read as Windows-1252.
[[nodiscard]] std::string toUtf8ForDisplay(std::string_view bytes);

// Typed UTF-8 text as bytes of a file in `encoding`; characters Windows-1252 lacks become '?'.
[[nodiscard]] std::string fromUtf8ForStorage(std::string_view utf8, TextEncoding encoding);

// Text of one encoding in another; characters Windows-1252 lacks become '?'.
[[nodiscard]] std::string convertEncoding(std::string_view bytes, TextEncoding from, TextEncoding to);

// Whether any byte is outside ASCII.
[[nodiscard]] bool hasNonAscii(std::string_view bytes);

// The text with its ASCII letters in lower case and every other byte as it was: for matching names and
// answers typed in any case.
[[nodiscard]] std::string asciiLowerCase(std::string_view text);

// The UTF-8 byte-order mark that some editors put at the start of a file.
inline constexpr std::string_view utf8ByteOrderMark{"\xEF\xBB\xBF"};
