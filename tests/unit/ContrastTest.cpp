#include "main/Contrast.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

constexpr Colour Grey(int level) {
    return MakeColour(level, level, level);
}

// Pairs whose ratios the guidelines' own examples and common checkers agree on, with greys
// chosen either side of each grade's threshold.
TEST(Contrast, KnownPairs) {
    const struct {
        const char* name;
        Colour a;
        Colour b;
        double ratio;
        const char* text;
    } cases[] = {
        {"black on white", kBlack, kWhite, 21.0, "Contrast 21:1 AAA"},
        {"white on black, the other way round", kWhite, kBlack, 21.0, "Contrast 21:1 AAA"},
        {"a colour on itself", MakeColour(10, 20, 30), MakeColour(10, 20, 30), 1.0,
         "Contrast 1:1 Fail"},
        {"#595959 just passes AAA", Grey(0x59), kWhite, 7.0047, "Contrast 7:1 AAA"},
        {"#5A5A5A just misses it", Grey(0x5A), kWhite, 6.8969, "Contrast 6.9:1 AA"},
        {"#767676 just passes AA", Grey(0x76), kWhite, 4.5422, "Contrast 4.5:1 AA"},
        {"#777777 rounds to 4.5 but misses AA", Grey(0x77), kWhite, 4.4781,
         "Contrast 4.4:1 AA Large"},
        {"#949494 just passes AA Large", Grey(0x94), kWhite, 3.0335, "Contrast 3:1 AA Large"},
        {"#959595 rounds to 3 but fails", Grey(0x95), kWhite, 2.9953, "Contrast 2.9:1 Fail"},
        {"pure red on white", kRed, kWhite, 3.9985, "Contrast 4:1 AA Large"},
        {"pure blue on white", MakeColour(0, 0, 255), kWhite, 8.5925, "Contrast 8.6:1 AAA"},
        {"green #008000 on white", kGreen, kWhite, 5.1374, "Contrast 5.1:1 AA"},
        {"orange #FF8000 on black", 0x0080FF, kBlack, 8.3397, "Contrast 8.3:1 AAA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 5e-5);
        EXPECT_EQ(ContrastText(ContrastRatio(c.a, c.b)), c.text);
    }
}

// Below the sRGB curve's knee a channel is linear; above it, the power curve takes over.
TEST(Contrast, LuminanceFollowsTheSrgbCurve) {
    EXPECT_DOUBLE_EQ(RelativeLuminance(kBlack), 0.0);
    EXPECT_NEAR(RelativeLuminance(kWhite), 1.0, 1e-12);
    EXPECT_NEAR(RelativeLuminance(Grey(10)), 10 / 255.0 / 12.92, 1e-12);
    EXPECT_NEAR(RelativeLuminance(Grey(128)), 0.2158605, 1e-7);
    EXPECT_NEAR(RelativeLuminance(MakeColour(255, 0, 0)), 0.2126, 1e-12);
    EXPECT_NEAR(RelativeLuminance(MakeColour(0, 255, 0)), 0.7152, 1e-12);
    EXPECT_NEAR(RelativeLuminance(MakeColour(0, 0, 255)), 0.0722, 1e-12);
}

// The number shown never claims a grade the ratio misses, and a ratio exactly at a threshold
// passes it.
TEST(Contrast, RatioTextNeverShowsAPassItDoesNotHave) {
    const struct {
        double ratio;
        const char* text;
        ContrastGrade grade;
    } cases[] = {
        {1.0, "1:1", ContrastGrade::Fail},        {2.94, "2.9:1", ContrastGrade::Fail},
        {2.96, "2.9:1", ContrastGrade::Fail},     {2.9999, "2.9:1", ContrastGrade::Fail},
        {3.0, "3:1", ContrastGrade::AALarge},     {3.04, "3:1", ContrastGrade::AALarge},
        {4.449, "4.4:1", ContrastGrade::AALarge}, {4.46, "4.4:1", ContrastGrade::AALarge},
        {4.499, "4.4:1", ContrastGrade::AALarge}, {4.5, "4.5:1", ContrastGrade::AA},
        {4.56, "4.6:1", ContrastGrade::AA},       {4.64, "4.6:1", ContrastGrade::AA},
        {6.95, "6.9:1", ContrastGrade::AA},       {6.9999, "6.9:1", ContrastGrade::AA},
        {7.0, "7:1", ContrastGrade::AAA},         {12.96, "13:1", ContrastGrade::AAA},
        {21.0, "21:1", ContrastGrade::AAA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        EXPECT_EQ(RatioText(c.ratio), c.text);
        EXPECT_EQ(GradeOf(c.ratio), c.grade);
    }
    EXPECT_STREQ(GradeText(ContrastGrade::AAA), "AAA");
    EXPECT_STREQ(GradeText(ContrastGrade::AA), "AA");
    EXPECT_STREQ(GradeText(ContrastGrade::AALarge), "AA Large");
    EXPECT_STREQ(GradeText(ContrastGrade::Fail), "Fail");
}

} // namespace
} // namespace lupenta
