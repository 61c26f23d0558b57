// Numbers as a spreadsheet shows them; the workbooks themselves, made by the tools people use
// and hostile ones, are in the ctbtool dumps (tests/data/dumps.txt).
#include "interchange/xlsx_format.h"

#include <gtest/gtest.h>

#include <string>

TEST(ShowNumber, AsASpreadsheetShowsIt)
{
    const struct {
        const char *value, *shown;
    } cases[] = {
        {"13800138000", "13800138000"}, {"1.3912345678E10", "13912345678"},
        {"1.3912345678e+10", "13912345678"}, {"13800138000.0", "13800138000"},
        {"0.30000000000000004", "0.3"}, {"-2.5E-3", "-0.0025"}, {"0.000000001234", "0.000000001234"},
        {"1.5E-12", "1.5E-12"}, {"6222021234567890", "6222021234567890"}, // a card number
        {"123456789012345678", "123456789012346000"}, {"9999999999999999", "10000000000000000"},
        {"999999999999999", "999999999999999"}, {"9999999999999999999", "1E+19"}, {"1E20", "1E+20"},
        // what would not fit a number field in full takes the exponent form, which does
        {"-1.2345678901234567E+300", "-1.23456789012E+300"}, {"-1234567890123456789", "-1.23456789012E+18"},
        {"-0.00000000123456789", "-1.23456789E-09"},
        {"0", "0"}, {"-0", "0"}, {"0.0", "0"}, {"12.", "12"}, {"007", "7"},
        {"abc", "abc"}, {"1e", "1e"}, {".", "."}, {"1.2.3", "1.2.3"}, {"", ""},
    };
    for (const auto &c : cases) {
        char shown[64];
        showNumber(c.value, shown, sizeof shown);
        EXPECT_EQ(std::string(c.shown), shown) << c.value;
    }
}
