// The UTF-8 conversions every line of the answer file and of the log goes through.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Encoded {
    const char* name;
    std::wstring text;
    std::string bytes;
};

TEST(Utf8, EncodesAndDecodesEveryLength) {
    const Encoded cases[] = {
        {"empty", L"", ""},
        {"ASCII", L"<AppId>Contoso.App_1a2b!App</AppId>", "<AppId>Contoso.App_1a2b!App</AppId>"},
        {"two bytes", L"Gr\u00f6\u00dfe",
         "Gr\xC3\xB6\xC3\x9F"
         "e"},
        {"three bytes", L"step \u2013 \u20ac", "step \xE2\x80\x93 \xE2\x82\xAC"},
        {"four bytes", std::wstring(L"a") + static_cast<wchar_t>(0x1F600) + L"b",
         "a\xF0\x9F\x98\x80"
         "b"},
        {"every length in one line", std::wstring(L"A\u00e9\u4e2d") + static_cast<wchar_t>(0x10348),
         "A\xC3\xA9\xE4\xB8\xAD\xF0\x90\x8D\x88"},
    };
    for (const Encoded& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8FromWide(c.text), c.bytes);
        std::wstring decoded = L"left over";
        EXPECT_TRUE(WideFromUtf8(c.bytes.data(), c.bytes.size(), decoded));
        EXPECT_EQ(decoded, c.text);
    }
}

TEST(Utf8, TextThatIsNoUnicodeBecomesTheReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8FromWide(std::wstring(L"a") + static_cast<wchar_t>(0xD800) + L"b"),
              "a" + replacement + "b");
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xDFFF))), replacement);
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0x110000))), replacement);
}

TEST(Utf8, RefusesBytesThatAreNotUtf8) {
    const std::string invalid[] = {
        "\x80",             // a continuation byte alone
        "a\xC3(",           // a lead byte without its continuation
        "\xC3",             // cut at the end
        "\xE2\x82",         // cut at the end
        "\xC0\x80",         // overlong
        "\xE0\x80\x80",     // overlong
        "\xF0\x80\x80\x80", // overlong
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xF5\x80\x80\x80", // no such lead byte
        "\xFF",
    };
    for (const std::string& bytes : invalid) {
        std::wstring text;
        EXPECT_FALSE(WideFromUtf8(bytes.data(), bytes.size(), text)) << bytes.size();
    }
}

TEST(Utf8, LongTextRoundTrips) {
    std::wstring text;
    for (int n = 0; n < 5000; ++n) {
        text += L"Werksschritt " + std::to_wstring(n) + L" \u2013 Gr\u00f6\u00dfe ";
        text += static_cast<wchar_t>(0x1F000 + n % 256);
    }
    std::string bytes = Utf8FromWide(text);
    std::wstring back;
    ASSERT_TRUE(WideFromUtf8(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back, text);
}

} // namespace
