// Number text: the one fixed-point format of lists and map files, and atof/atoi reading,
// both independent of the process locale.
#include "math/NumberText.h"

#include "common/TestSupport.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <optional>
#include <string>

namespace {

struct FormatCase {
    double value;
    int decimals;
    const char* text;
};

// printf("%.*f") in the C locale, including the cases the digit-string steps got wrong.
constexpr FormatCase kFormatTable[] = {
    {3.14159, 2, "3.14"},
    {0.05, 2, "0.05"},
    {0.012, 3, "0.012"},
    {0.001, 2, "0.00"},
    {0.0001, 3, "0.000"},
    {-0.0001, 3, "-0.000"},
    {0.0, 3, "0.000"},
    {0.996, 2, "1.00"},
    {12.5, 3, "12.500"},
    {-12.3456, 3, "-12.346"},
    {0.5, 1, "0.5"},
    {1000.0, 3, "1000.000"},
    {1e20, 3, "100000000000000000000.000"},
    {-7.0, 3, "-7.000"},
    {999.9996, 3, "1000.000"},
};

void ExpectFormatTable()
{
    for (const auto& c : kFormatTable)
        EXPECT_EQ(c.text, math::FormatFixed(c.value, c.decimals)) << c.value << " with " << c.decimals;
}

TEST(FormatFixed, MatchesFixedPointPrintfTable)
{
    ExpectFormatTable();
}

TEST(FormatFixed, FloatInputsKeepTheirExactValue)
{
    // Values arrive as floats: 0.05f is 0.0500000007…, 1e20f is 100000002004087734272.
    EXPECT_EQ("0.05", math::FormatFixed(0.05f, 2));
    EXPECT_EQ("0.012", math::FormatFixed(0.012f, 3));
    EXPECT_EQ("100000002004087734272.000", math::FormatFixed(1e20f, 3));
}

TEST(FormatFixed, NoDecimalsKeepsThePointAndNonFiniteWritesZero)
{
    EXPECT_EQ("3.", math::FormatFixed(3.14159, 0));
    EXPECT_EQ("-12.", math::FormatFixed(-12.3456, 0));
    EXPECT_EQ("0.000", math::FormatFixed(std::numeric_limits<double>::quiet_NaN(), 3));
    EXPECT_EQ("0.000", math::FormatFixed(std::numeric_limits<double>::infinity(), 3));
    EXPECT_EQ("0.00", math::FormatFixed(-std::numeric_limits<double>::infinity(), 2));
    EXPECT_EQ("3.", math::FormatFixed(3.14159, -4));
    // Largest double: all 309 digits fit.
    EXPECT_EQ(309u + 4u, math::FormatFixed(std::numeric_limits<double>::max(), 3).size());
    EXPECT_EQ(std::string("-0.") + std::string(100, '0'), math::FormatFixed(-1e-300, 1000));
}

TEST(ParseNumbers, ReadsLikeAtof)
{
    EXPECT_EQ(1.5, math::ParseDouble("1.5"));
    EXPECT_EQ(-12.25, math::ParseDouble("  \t-12.25"));
    EXPECT_EQ(3.0, math::ParseDouble("+3"));
    EXPECT_EQ(0.5, math::ParseDouble(".5"));
    EXPECT_EQ(5.0, math::ParseDouble("5."));
    EXPECT_EQ(1250.0, math::ParseDouble("1.25e3xyz"));
    EXPECT_EQ(1.0, math::ParseDouble("1e"));
    EXPECT_EQ(1.0, math::ParseDouble("1e+"));
    EXPECT_EQ(12.0, math::ParseDouble("12,5"));
    EXPECT_EQ(0.0, math::ParseDouble(""));
    EXPECT_EQ(0.0, math::ParseDouble("abc"));
    EXPECT_EQ(0.0, math::ParseDouble("-"));
    EXPECT_EQ(0.0, math::ParseDouble("+-5"));
    EXPECT_EQ(0.0, math::ParseDouble("--5"));
    EXPECT_EQ(0.0, math::ParseDouble(" . 5"));
    // Only decimal notation: "0x10" reads as its leading 0.
    EXPECT_EQ(0.0, math::ParseDouble("0x10"));
    // Not NUL-terminated views stop at their end.
    EXPECT_EQ(12.0, math::ParseDouble(std::string_view("12345", 2)));
}

TEST(ParseNumbers, NonFiniteAndOutOfRangeComeBackForTheGuard)
{
    EXPECT_TRUE(std::isnan(math::ParseDouble("nan")));
    EXPECT_TRUE(std::isnan(math::ParseDouble(" NaN")));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), math::ParseDouble("inf"));
    EXPECT_EQ(-std::numeric_limits<double>::infinity(), math::ParseDouble("-Infinity"));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), math::ParseDouble("1e999"));
    EXPECT_EQ(-std::numeric_limits<double>::infinity(), math::ParseDouble("-1e999"));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), math::ParseDouble("123456789e99999999999999999999"));
    EXPECT_EQ(0.0, math::ParseDouble("1e-999"));
    EXPECT_EQ(0.0, math::ParseDouble("0.000001e-400"));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), math::ParseDouble("0.001e312"));

    // As a float: 40 typed digits overflow to infinity, just below the limit rounds to it.
    EXPECT_EQ(std::numeric_limits<float>::infinity(), math::ParseFloat(std::string(40, '9')));
    EXPECT_EQ(-std::numeric_limits<float>::infinity(), math::ParseFloat("-1e39"));
    EXPECT_EQ(std::numeric_limits<float>::max(), math::ParseFloat("3.4028235e38"));
    EXPECT_TRUE(std::isnan(math::ParseFloat("nan")));
    EXPECT_EQ(0.05f, math::ParseFloat("0.05"));
}

TEST(ParseNumbers, ReadsLikeAtoi)
{
    EXPECT_EQ(42, math::ParseInt("42"));
    EXPECT_EQ(42, math::ParseInt("42A9"));
    EXPECT_EQ(-17, math::ParseInt("  -17"));
    EXPECT_EQ(5, math::ParseInt("+5"));
    EXPECT_EQ(3, math::ParseInt("3.9"));
    EXPECT_EQ(0, math::ParseInt("B42"));
    EXPECT_EQ(0, math::ParseInt(""));
    EXPECT_EQ(0, math::ParseInt("- 3"));
    EXPECT_EQ(2147483647, math::ParseInt("99999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, math::ParseInt("-99999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, math::ParseInt("-2147483648"));
}

// A decimal-comma locale for the process, and the C locale again afterwards. The C++ global
// locale is always switched; the C locale only where one can be had: installed, or compiled
// into a scratch folder when the locale sources are there.
class CommaLocale : public ::testing::Test {
  protected:
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };

    void SetUp() override
    {
        previous_ = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    }

    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
        std::locale::global(previous_);
    }

    bool SetCommaCLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8"})
            if (TrySet(name)) return true;
        if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) return false;
        scratch_.emplace();
        const auto folder = scratch_->Path().string();
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return false;
        ::setenv("LOCPATH", folder.c_str(), 1);
        return TrySet("de_DE.UTF-8");
    }

    static bool TrySet(const char* name)
    {
        return std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",";
    }

    std::locale previous_;
    std::optional<testsupport::TempDir> scratch_;
};

TEST_F(CommaLocale, CppGlobalLocaleDoesNotReachTheText)
{
    ExpectFormatTable();
    EXPECT_EQ(1234.5, math::ParseDouble("1234.5"));
}

TEST_F(CommaLocale, CLocaleDoesNotReachTheText)
{
    if (!SetCommaCLocale())
        GTEST_SKIP() << "no decimal-comma C locale is installed or can be built here; case skipped";
    // The locale really is active: the C library now writes a comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ("1,5", probe);

    ExpectFormatTable();
    EXPECT_EQ("1.500", math::FormatFixed(1.5, 3));
    EXPECT_EQ(1.5, math::ParseDouble("1.500"));
    EXPECT_EQ(1.0, math::ParseDouble("1,500"));
    EXPECT_EQ(-0.25f, math::ParseFloat("-0.25"));
    EXPECT_EQ(1500, math::ParseInt("1500"));
}

TEST(FormatFixedShown, ValuesThatRoundToZeroHaveNoSign)
{
    EXPECT_EQ("-0.000", math::FormatFixed(-0.0001, 3)); // files keep the printf text
    EXPECT_EQ("0.000", math::FormatFixedShown(-0.0001, 3));
    EXPECT_EQ("0.000", math::FormatFixedShown(-0.0, 3));
    EXPECT_EQ("0.", math::FormatFixedShown(-0.2, 0));
    EXPECT_EQ("-0.001", math::FormatFixedShown(-0.0005001, 3));
    EXPECT_EQ("-10.000", math::FormatFixedShown(-10.0, 3));
}

} // namespace
