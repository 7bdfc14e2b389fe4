#include "addons/sort_score.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ParseSortScore, ReadsLikeWcstolClampedTo32Bits) {
    constexpr std::int32_t Largest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t Smallest = std::numeric_limits<std::int32_t>::min();
    const struct {
        const wchar_t* text;
        std::int32_t value;
    } cases[] = {
        {L"", 0},
        {L"42", 42},
        {L"-5", -5},
        {L"+7", 7},
        {L"007", 7},
        {L" \t\r\n\v\f-3", -3},
        {L"12abc", 12},
        {L"12 34", 12},
        {L"abc", 0},
        {L"-", 0},
        {L"+-3", 0},
        {L"- 5", 0},
        {L"0x1F", 0},
        {L"2147483647", Largest},
        {L"2147483648", Largest},
        {L"-2147483648", Smallest},
        {L"-2147483649", Smallest},
        {L"99999999999999999999999", Largest},
        {L"-99999999999999999999999", Smallest},
        {L"\x0663", 0}, // a digit outside ASCII is no decimal digit here
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSortScore(c.text), c.value) << "text: \"" << c.text << "\"";
    }
}

} // namespace
