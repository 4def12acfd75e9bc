// Telling UTF-8 from Windows-1252 and upper-casing without breaking a character.
#include "calldata/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEncodingDetect, Utf8OnlyWhenEveryNonAsciiByteFormsValidUtf8) {
    using enum TextEncoding;
    const std::pair<const char*, TextEncoding> cases[] = {
        {"", Windows1252},          {"QA1ABC,,", Windows1252},     {"M\xC3\xBCller", Utf8},
        {"\xF0\x9F\x93\xA1", Utf8}, {"M\xFCller", Windows1252},    {"\xC3\xBC \xFC", Windows1252},
        {"\xC0\x80", Windows1252},  {"\xED\xA0\x80", Windows1252}, {"end \xE2\x82", Windows1252},
    };
    for (const auto& [bytes, encoding] : cases) {
        EXPECT_EQ(detectEncoding(bytes), encoding) << bytes;
    }
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

}  // namespace
