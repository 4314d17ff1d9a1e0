// The arrangement engine from the console: the sample dialog arranged in a window and drawn as SVG.
#include "HostServices.h"
#include "Shell.h"

#include "DialogPicture.h"

#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <stdexcept>

namespace tarnsh {

namespace {

namespace fsup = tarncore::filesupport;

constexpr float kLargestSide = 100000;

float Side(const std::string& inText) {
    char* end = nullptr;
    const float value = std::strtof(inText.c_str(), &end);
    if (inText.empty() || *end != '\0' || !std::isfinite(value) || value <= 0 || value > kLargestSide)
        throw std::invalid_argument("not a window size between 0 and 100000: " + inText);
    return value;
}

const CommandSet sArrangeCommands([](Shell& shell) {
    shell.Add("arrange", "arrange <width> <height> <file.svg>",
              "Arranges the sample export dialog in a window of that size and writes it as SVG.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 4)
                      throw std::invalid_argument("usage: arrange <width> <height> <file.svg>");
                  const float width = Side(args[1]), height = Side(args[2]);
                  const fsup::File file(PathArgument(args[3]));
                  sample::SampleDialog dialog;
                  sample::Arranged arranged;
                  if (!sample::ArrangeInWindow(dialog, width, height, arranged))
                      throw std::runtime_error("the dialog offers no arrangement");
                  const std::string title = sample::DescribeArranged(width, height, arranged);
                  const std::string svg = sample::DialogSvg(dialog, title, width, height);
                  // Written whole or not at all.
                  fsup::ReplaceFileContents(file, svg.data(), svg.size());
                  out << title << " -> " << args[3] << "\n";
              });
});

}  // namespace

}  // namespace tarnsh
