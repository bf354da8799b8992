#include "main/Contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lupenta {

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The thresholds in tenths, where each grade begins.
constexpr int kAALargeTenths = 30;
constexpr int kAATenths = 45;
constexpr int kAAATenths = 70;

} // namespace

double RelativeLuminance(Colour colour) {
    return 0.2126 * Linear(RedOf(colour)) + 0.7152 * Linear(GreenOf(colour)) +
           0.0722 * Linear(BlueOf(colour));
}

double ContrastRatio(Colour a, Colour b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ContrastGrade GradeOf(double ratio) {
    if (ratio >= kAAATenths / 10.0)
        return ContrastGrade::AAA;
    if (ratio >= kAATenths / 10.0)
        return ContrastGrade::AA;
    if (ratio >= kAALargeTenths / 10.0)
        return ContrastGrade::AALarge;
    return ContrastGrade::Fail;
}

const char* GradeText(ContrastGrade grade) {
    switch (grade) {
    case ContrastGrade::AAA:
        return "AAA";
    case ContrastGrade::AA:
        return "AA";
    case ContrastGrade::AALarge:
        return "AA Large";
    case ContrastGrade::Fail:
        break;
    }
    return "Fail";
}

std::string RatioText(double ratio) {
    long tenths = std::lround(ratio * 10);
    for (int threshold : {kAALargeTenths, kAATenths, kAAATenths})
        if (tenths >= threshold && ratio < threshold / 10.0)
            tenths = threshold - 1;
    char text[32];
    if (tenths % 10 == 0)
        std::snprintf(text, sizeof text, "%ld:1", tenths / 10);
    else
        std::snprintf(text, sizeof text, "%ld.%ld:1", tenths / 10, tenths % 10);
    return text;
}

std::string ContrastText(double ratio) {
    return "Contrast " + RatioText(ratio) + " " + GradeText(GradeOf(ratio));
}

} // namespace lupenta
