// Lays the sample dialog out at several window sizes and writes one SVG per size into
// the folder given on the command line: every control's rectangle with its name, the
// frames the sections were given, and the separator strips.
//
//   arrange_demo <output folder>

#include "DialogPicture.h"
#include "SampleDialog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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
        sample::Arranged arranged;
        if (!sample::ArrangeInWindow(dialog, window.width, window.height, arranged)) {
            std::fprintf(stderr, "the dialog offers no arrangement\n");
            return 1;
        }
        const std::string title =
            window.name + std::string(": ") + sample::DescribeArranged(window.width, window.height, arranged);
        const std::filesystem::path path = folder / (std::string("dialog-") + window.name + ".svg");
        std::ofstream out(path);
        out << sample::DialogSvg(dialog, title, window.width, window.height);
        if (!out.flush()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s -> %s\n", title.c_str(), path.c_str());
    }
    return 0;
}
