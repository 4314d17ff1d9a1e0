// The sample dialog arranged in a window and drawn as SVG.
#include "DialogPicture.h"

#include <tarncore/arrange/Arrangement.h>

#include <algorithm>
#include <sstream>

namespace sample {

namespace {

std::string Escaped(const std::string& inText) {
    std::string escaped;
    for (char c : inText) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

const char* Fill(Control::Kind inKind) {
    switch (inKind) {
    case Control::Label: return "#fff6c8";
    case Control::Field: return "#ffffff";
    case Control::Button: return "#cfe0ff";
    case Control::Check: return "#e8e0ff";
    case Control::Chip: return "#c9f0d0";
    case Control::Picture: return "#d8d8d8";
    case Control::Filler: return "none";
    }
    return "#ffffff";
}

std::string Rect(const tarncore::geom::RectF& inRect) {
    std::ostringstream text;
    text << "x=\"" << inRect.x << "\" y=\"" << inRect.y << "\" width=\"" << std::max(inRect.width, 0.0f)
         << "\" height=\"" << std::max(inRect.height, 0.0f) << "\"";
    return text.str();
}

}  // namespace

bool ArrangeInWindow(SampleDialog& ioDialog, float inWidth, float inHeight, Arranged& outArranged) {
    IArrangeable& root = ioDialog.Root();
    root.Arrange(RectF(0, 0, inWidth, inHeight));
    const auto chosen = root.Arrangements().ChooseArrangement(inWidth, inHeight);
    if (!chosen) return false;
    outArranged.minWidth = chosen->MinWidth();
    outArranged.minHeight = chosen->MinHeight();
    outArranged.fits = outArranged.minWidth <= inWidth && outArranged.minHeight <= inHeight;
    return true;
}

std::string DescribeArranged(float inWidth, float inHeight, const Arranged& inArranged) {
    std::ostringstream text;
    text << inWidth << " x " << inHeight << " (minimum " << inArranged.minWidth << " x "
         << inArranged.minHeight << (inArranged.fits ? ", fits)" : ", overflows)");
    return text.str();
}

std::string DialogSvg(const SampleDialog& inDialog, const std::string& inTitle, float inWidth,
                      float inHeight) {
    // The picture shows the window and whatever sticks out of it.
    float left = 0, top = 0, right = inWidth, bottom = inHeight;
    for (const Control& control : inDialog.Controls()) {
        left = std::min(left, control.placed.x);
        top = std::min(top, control.placed.y);
        right = std::max(right, control.placed.x + control.placed.width);
        bottom = std::max(bottom, control.placed.y + control.placed.height);
    }
    const float width = right - left + 20, height = bottom - top + 44;
    std::ostringstream out;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"" << left - 10 << " " << top - 34 << " " << width << " " << height
        << "\" font-family=\"sans-serif\" font-size=\"10\">\n";
    out << "<rect x=\"" << left - 10 << "\" y=\"" << top - 34 << "\" width=\"" << width << "\" height=\""
        << height << "\" fill=\"#ffffff\"/>\n";
    out << "<text x=\"" << left << "\" y=\"" << top - 14 << "\" font-size=\"13\">" << Escaped(inTitle)
        << "</text>\n";
    out << "<rect x=\"0\" y=\"0\" width=\"" << inWidth << "\" height=\"" << inHeight
        << "\" fill=\"#f2f2f2\" stroke=\"#222222\" stroke-width=\"1.5\"/>\n";

    for (const Section* section : inDialog.Sections()) {
        const tarncore::geom::RectF frame(section->origin.x, section->origin.y, section->size.x,
                                          section->size.y);
        out << "<rect " << Rect(frame) << " fill=\"none\" stroke=\"#6a6ad8\" stroke-dasharray=\"4 3\"/>\n";
        out << "<text x=\"" << frame.x + 2 << "\" y=\"" << frame.y - 2
            << "\" font-size=\"8\" fill=\"#6a6ad8\">" << Escaped(section->name) << "</text>\n";
        for (const Separator& separator : section->separators) {
            if (!separator.shown) continue;
            const tarncore::geom::RectF& strip = separator.bounds;
            // A line along the middle of the strip, across the direction it separates.
            const bool inRow = separator.orientation == tarncore::arrange::SeparatorInRow;
            const float x1 = inRow ? strip.x + strip.width / 2 : strip.x;
            const float y1 = inRow ? strip.y : strip.y + strip.height / 2;
            const float x2 = inRow ? x1 : strip.x + strip.width;
            const float y2 = inRow ? strip.y + strip.height : y1;
            out << "<line x1=\"" << x1 << "\" y1=\"" << y1 << "\" x2=\"" << x2 << "\" y2=\"" << y2
                << "\" stroke=\"#888888\"/>\n";
        }
    }

    for (const Control& control : inDialog.Controls()) {
        const tarncore::geom::RectF& placed = control.placed;
        const bool filler = control.kind == Control::Filler;
        out << "<rect " << Rect(placed) << " rx=\"3\" fill=\"" << Fill(control.kind)
            << (filler ? "\" stroke=\"#bbbbbb\" stroke-dasharray=\"2 2\"/>\n" : "\" stroke=\"#555555\"/>\n");
        // A nested viewport clips the name to the control.
        out << "<svg " << Rect(placed) << "><text x=\"3\" y=\"" << std::min(placed.height / 2 + 3.5f, 14.0f)
            << "\">" << Escaped(control.name) << "</text></svg>\n";
    }
    out << "</svg>\n";
    return out.str();
}

}  // namespace sample
