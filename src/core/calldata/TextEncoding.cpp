// Encoding detection, upper-casing and display conversion of 8-bit text.
#include "core/calldata/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0 when it is not valid.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Unicode code points of the bytes 0x80 to 0x9F in Windows-1252; the five unassigned
// bytes map to the C1 controls of the same value so that nothing is lost.
constexpr std::array<std::uint16_t, 32> windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

namespace {

// Whether any of the eight bytes at `at` has its high bit set: files are mostly ASCII, and a word at a
// time passes over it eight times as fast as a byte at a time.
bool anyHighBit(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return (word & 0x8080808080808080ULL) != 0;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (i + 8 <= bytes.size() && !anyHighBit(bytes.data() + i)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

bool hasNonAscii(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        if (anyHighBit(bytes.data() + i)) {
            return true;
        }
    }
    return std::any_of(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

void toUpperInPlace(std::string& text, TextEncoding encoding) {
    for (char& c : text) {
        const auto b = static_cast<unsigned char>(c);
        unsigned char upper = b;
        if (b >= 'a' && b <= 'z') {
            upper = static_cast<unsigned char>(b - 0x20);
        } else if (encoding == TextEncoding::Windows1252) {
            if (b >= 0xE0 && b <= 0xFE && b != 0xF7) {
                upper = static_cast<unsigned char>(b - 0x20);  // à..þ to À..Þ, except ÷
            } else if (b == 0x9A || b == 0x9C || b == 0x9E) {
                upper = static_cast<unsigned char>(b - 0x10);  // š œ ž
            } else if (b == 0xFF) {
                upper = 0x9F;  // ÿ
            }
        }
        c = static_cast<char>(upper);
    }
}

std::string toUtf8ForDisplay(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return convertEncoding(bytes, TextEncoding::Windows1252, TextEncoding::Utf8);
}

std::string convertEncoding(std::string_view bytes, TextEncoding from, TextEncoding to) {
    if (from == to) {
        return std::string(bytes);
    }
    if (to == TextEncoding::Windows1252) {
        return fromUtf8ForStorage(bytes, to);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F) {
            appendUtf8(out, windows1252High[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string fromUtf8ForStorage(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : utf8SequenceLength(utf8, i);
        if (length == 0) {
            out.push_back('?');  // not UTF-8 at all: nothing sensible to store
            ++i;
            continue;
        }
        std::uint32_t codePoint = length == 1 ? lead : lead & (0xFFu >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        i += length;
        char byte = '?';
        if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
            byte = static_cast<char>(codePoint);
        } else {
            for (std::size_t k = 0; k < windows1252High.size(); ++k) {
                if (windows1252High[k] == codePoint) {
                    byte = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        out.push_back(byte);
    }
    return out;
}

std::string asciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}
