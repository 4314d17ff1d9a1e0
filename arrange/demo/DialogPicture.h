// Arranging the sample dialog in a window, and drawing it as SVG: shared by arrange_demo and tarnsh.
#pragma once

#include "SampleDialog.h"

#include <string>

namespace sample {

// What arranging the dialog in a window gave: the minimum size of the arrangement
// chosen, and whether the window holds it.
struct Arranged {
    float minWidth = 0, minHeight = 0;
    bool fits = false;
};

// Arranges the dialog in a window of the size, as a host does when its window is
// resized. False when the dialog offers no arrangement.
bool ArrangeInWindow(SampleDialog& ioDialog, float inWidth, float inHeight, Arranged& outArranged);

// "1000 x 560 (minimum 498 x 530, fits)", or "..., overflows)".
std::string DescribeArranged(float inWidth, float inHeight, const Arranged& inArranged);

// An SVG picture of the dialog as it was last arranged in a window of the size: the
// window, every control's rectangle with its name, the frames the sections were given
// (dashed) and the separators, under the title.
std::string DialogSvg(const SampleDialog& inDialog, const std::string& inTitle, float inWidth,
                      float inHeight);

}  // namespace sample
