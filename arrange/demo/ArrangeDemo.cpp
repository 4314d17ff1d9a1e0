// Lays the sample dialog out at several window sizes and writes one SVG per size into
// the folder given on the command line: every control's rectangle with its name, the
// frames the sections were given, and the separator strips.
//
//   arrange_demo <output folder>

#include "SampleDialog.h"

#include <tarncore/arrange/Arrangement.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

const char* Fill(sample::Control::Kind inKind) {
    switch (inKind) {
    case sample::Control::Label: return "#fff6c8";
    case sample::Control::Field: return "#ffffff";
    case sample::Control::Button: return "#cfe0ff";
    case sample::Control::Check: return "#e8e0ff";
    case sample::Control::Chip: return "#c9f0d0";
    case sample::Control::Picture: return "#d8d8d8";
    case sample::Control::Filler: return "none";
    }
    return "#ffffff";
}

std::string Rect(const tarncore::geom::RectF& inRect) {
    std::ostringstream text;
    text << "x=\"" << inRect.x << "\" y=\"" << inRect.y << "\" width=\"" << std::max(inRect.width, 0.0f)
         << "\" height=\"" << std::max(inRect.height, 0.0f) << "\"";
    return text.str();
}

bool WriteSvg(const std::filesystem::path& inPath, sample::SampleDialog& inDialog, const std::string& inTitle,
              float inWidth, float inHeight) {
    // The picture shows the window and whatever sticks out of it.
    float left = 0, top = 0, right = inWidth, bottom = inHeight;
    for (const sample::Control& control : inDialog.Controls()) {
        left = std::min(left, control.placed.x);
        top = std::min(top, control.placed.y);
        right = std::max(right, control.placed.x + control.placed.width);
        bottom = std::max(bottom, control.placed.y + control.placed.height);
    }
    const float width = right - left + 20, height = bottom - top + 44;
    std::ofstream out(inPath);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"" << left - 10 << " " << top - 34 << " " << width << " " << height
        << "\" font-family=\"sans-serif\" font-size=\"10\">\n";
    out << "<rect x=\"" << left - 10 << "\" y=\"" << top - 34 << "\" width=\"" << width << "\" height=\""
        << height << "\" fill=\"#ffffff\"/>\n";
    out << "<text x=\"" << left << "\" y=\"" << top - 14 << "\" font-size=\"13\">" << Escaped(inTitle)
        << "</text>\n";
    out << "<rect x=\"0\" y=\"0\" width=\"" << inWidth << "\" height=\"" << inHeight
        << "\" fill=\"#f2f2f2\" stroke=\"#222222\" stroke-width=\"1.5\"/>\n";

    for (const sample::Section* section : inDialog.Sections()) {
        const tarncore::geom::RectF frame(section->origin.x, section->origin.y, section->size.x,
                                          section->size.y);
        out << "<rect " << Rect(frame) << " fill=\"none\" stroke=\"#6a6ad8\" stroke-dasharray=\"4 3\"/>\n";
        out << "<text x=\"" << frame.x + 2 << "\" y=\"" << frame.y - 2
            << "\" font-size=\"8\" fill=\"#6a6ad8\">" << Escaped(section->name) << "</text>\n";
        for (const sample::Separator& separator : section->separators) {
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

    for (const sample::Control& control : inDialog.Controls()) {
        const tarncore::geom::RectF& placed = control.placed;
        const bool filler = control.kind == sample::Control::Filler;
        out << "<rect " << Rect(placed) << " rx=\"3\" fill=\"" << Fill(control.kind)
            << (filler ? "\" stroke=\"#bbbbbb\" stroke-dasharray=\"2 2\"/>\n" : "\" stroke=\"#555555\"/>\n");
        // A nested viewport clips the name to the control.
        out << "<svg " << Rect(placed) << "><text x=\"3\" y=\"" << std::min(placed.height / 2 + 3.5f, 14.0f)
            << "\">" << Escaped(control.name) << "</text></svg>\n";
    }
    out << "</svg>\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    sample::SampleDialog dialog;
    tarncore::arrange::IArrangeable& root = dialog.Root();
    const tarncore::geom::PointF best = root.BestSize();
    std::printf("sample dialog: %zu controls, %zu arrangements kept at the root, best size %g x %g\n",
                dialog.Controls().size(), root.Arrangements().size(), best.x, best.y);

    struct Window {
        const char* name;
        float width, height;
    };
    const Window windows[] = {
        {"wide", 1000, 560}, {"tall", 350, 900}, {"small", 560, 640}, {"too-small", 260, 300}};
    for (const Window& window : windows) {
        root.Arrange(tarncore::geom::RectF(0, 0, window.width, window.height));
        const auto chosen = root.Arrangements().ChooseArrangement(window.width, window.height);
        if (!chosen) {
            std::fprintf(stderr, "the dialog offers no arrangement\n");
            return 1;
        }
        const bool fits = chosen->MinWidth() <= window.width && chosen->MinHeight() <= window.height;
        std::ostringstream title;
        title << window.name << ": " << window.width << " x " << window.height << " (minimum "
              << chosen->MinWidth() << " x " << chosen->MinHeight() << (fits ? ", fits)" : ", overflows)");
        const std::filesystem::path path = folder / (std::string("dialog-") + window.name + ".svg");
        if (!WriteSvg(path, dialog, title.str(), window.width, window.height)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s -> %s\n", title.str().c_str(), path.c_str());
    }
    return 0;
}
