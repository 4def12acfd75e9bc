// Telling UTF-8 from Windows-1252 and upper-casing without breaking a character.
#include "core/calldata/CallFileReader.h"
#include "core/calldata/TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncodingDetect, Utf8OnlyWhenEveryNonAsciiByteFormsValidUtf8) {
    for (const char* bytes : {"", "QA1ABC,,", "M\xFCller", "\xC3\xBC \xFC", "\xC0\x80", "\xE0\x80\x80",
                              "\xED\xA0\x80", "end \xE2\x82"}) {
        EXPECT_EQ(inspectCallText(bytes).encoding, TextEncoding::Windows1252) << bytes;
    }
    EXPECT_EQ(inspectCallText("M\xC3\xBCller").encoding, TextEncoding::Utf8);
    EXPECT_EQ(inspectCallText("\xF0\x9F\x93\xA1").encoding, TextEncoding::Utf8);
}

TEST(TextEncodingUpperCase, FollowsTheEncodingsLowerCaseLetters) {
    std::string text = "qa1/\xE4\xFE\xF7\xFF\x9A\x9C\x9E\xB5\xDF";
    toUpperInPlace(text, TextEncoding::Windows1252);
    EXPECT_EQ(text, "QA1/\xC4\xDE\xF7\x9F\x8A\x8C\x8E\xB5\xDF");
    // Lead and continuation bytes of these characters are lower-case letters in Windows-1252.
    text = "b\xC3\xA4\xE2\x82\xAC\xC3\x9C";
    toUpperInPlace(text, TextEncoding::Utf8);
    EXPECT_EQ(text, "B\xC3\xA4\xE2\x82\xAC\xC3\x9C");
    EXPECT_EQ(toUtf8ForDisplay("M\xFCller \x80"), "M\xC3\xBCller \xE2\x82\xAC");
}

TEST(TextEncodingConvert, Windows1252RoundTripsThroughUtf8AndWhatItLacksBecomesAQuestionMark) {
    const std::string windows = "M\xFCller \x80 \x81\x9F";
    const std::string utf8 = convertEncoding(windows, TextEncoding::Windows1252, TextEncoding::Utf8);
    EXPECT_EQ(utf8, "M\xC3\xBCller \xE2\x82\xAC \xC2\x81\xC5\xB8");
    EXPECT_EQ(convertEncoding(utf8, TextEncoding::Utf8, TextEncoding::Windows1252), windows);
    // Already valid UTF-8 as bytes, but read as Windows-1252 all the same.
    EXPECT_EQ(convertEncoding("\xC3\xBC", TextEncoding::Windows1252, TextEncoding::Utf8), "\xC3\x83\xC2\xBC");
    EXPECT_EQ(convertEncoding("\xC4\x9A \xF0\x9F\x93\xA1", TextEncoding::Utf8, TextEncoding::Windows1252),
              "? ?");
}
