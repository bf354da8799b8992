#pragma once

// The contrast between two colours as the web's accessibility guidelines measure it for text:
// the ratio of their relative luminances, each plus 0.05, from 1:1 up to 21:1.

#include "platform/Geometry.h"

#include <string>

namespace lupenta {

// The grades that text of a given contrast passes, weakest first.
enum class ContrastGrade { Fail, AALarge, AA, AAA };

// 0 for black, 1 for white: the colour's channels taken from sRGB to linear light, weighted
// by how bright each looks.
double RelativeLuminance(Colour colour);

// The lighter colour's luminance over the darker's, so the order of the two does not matter.
double ContrastRatio(Colour a, Colour b);

ContrastGrade GradeOf(double ratio);
// "AAA", "AA", "AA Large" (large text only) or "Fail".
const char* GradeText(ContrastGrade grade);

// "4.6:1", "21:1": to the nearest tenth, except that it never reaches a grade's threshold the
// ratio itself misses, so 4.48 reads "4.4:1", not the "4.5:1" of a pass it does not have.
std::string RatioText(double ratio);

// "Contrast 4.6:1 AA": what the panel shows while a contrast reference is set.
std::string ContrastText(double ratio);

} // namespace lupenta
