#include "ui/spintext.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

using vantrel::parseSpinText;

namespace {

struct SpinCase {
    const char* name;
    std::string text;
    int minimum;
    int maximum;
    std::optional<int> expected;
};

void PrintTo(const SpinCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseSpinText : public ::testing::TestWithParam<SpinCase> {};

TEST_P(ParseSpinText, Reads) {
    const SpinCase& c = GetParam();
    EXPECT_EQ(parseSpinText(c.text, c.minimum, c.maximum), c.expected)
        << "text \"" << c.text << "\"";
}

constexpr int Int16Min = -32768;
constexpr int Int16Max = 32767;

const SpinCase Cases[] = {
    // The speed box: 1..1500.
    {"150 is taken", "150", 1, 1500, 150},
    {"1500 is the top", "1500", 1, 1500, 1500},
    {"1 is the bottom", "1", 1, 1500, 1},
    {"2000 is above 1500", "2000", 1, 1500, std::nullopt},
    {"0 is below 1", "0", 1, 1500, std::nullopt},
    {"075 is 75", "075", 0, 100, 75},
    {"000 is 0", "000", 0, 100, 0},
    {"-5 is below 0", "-5", 0, 100, std::nullopt},
    {"-5 within a negative range", "-5", -10, 10, -5},
    {"-0 is 0", "-0", 0, 100, 0},
    // 16-bit limits.
    {"32767 fits", "32767", Int16Min, Int16Max, 32767},
    {"-32768 fits", "-32768", Int16Min, Int16Max, -32768},
    {"32768 is one too many", "32768", Int16Min, Int16Max, std::nullopt},
    {"-32769 is one too few", "-32769", Int16Min, Int16Max, std::nullopt},
    {"2147483648 does not wrap", "2147483648", Int16Min, Int16Max, std::nullopt},
    {"18446744073709551617 does not wrap", "18446744073709551617", Int16Min, Int16Max,
     std::nullopt},
    {"10000 digits are out of range", "1" + std::string(9999, '0'), 0, 1500, std::nullopt},
    {"10000 zeros are 0", std::string(10000, '0'), 0, 1500, 0},
    {"10000 digits negative", "-9" + std::string(9999, '9'), Int16Min, Int16Max, std::nullopt},
    // Not whole numbers.
    {"empty", "", 0, 1500, std::nullopt},
    {"minus alone", "-", 0, 1500, std::nullopt},
    {"plus sign", "+7", 0, 1500, std::nullopt},
    {"leading blank", " 7", 0, 1500, std::nullopt},
    {"trailing blank", "7 ", 0, 1500, std::nullopt},
    {"hex", "0x10", 0, 1500, std::nullopt},
    {"exponent", "1e3", 0, 1500, std::nullopt},
    {"decimal point", "7.0", 0, 1500, std::nullopt},
    {"thousands separator", "1,000", 0, 1500, std::nullopt},
    {"double minus", "--7", -10, 10, std::nullopt},
    {"minus after digits", "7-", -10, 10, std::nullopt},
    {"letters", "abc", 0, 1500, std::nullopt},
    {"Arabic-Indic three", "\xD9\xA3", 0, 1500, std::nullopt},
    {"fullwidth one", "\xEF\xBC\x91", 0, 1500, std::nullopt},
    {"digit then fullwidth one", "1\xEF\xBC\x91", 0, 1500, std::nullopt},
};

std::string rowName(const ::testing::TestParamInfo<SpinCase>& info) {
    std::string name;
    for (const char c : std::string(info.param.name))
        name +=
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, ParseSpinText, ::testing::ValuesIn(Cases), rowName);

} // namespace
