// Text and value utilities: the calculator, case mapping, numbers and GUIDs.
#include "HostServices.h"
#include "Shell.h"

#include <tarncore/utility/CaseMapping.h>
#include <tarncore/utility/Guid.h>
#include <tarncore/utility/Locale.h>
#include <tarncore/utility/NumberText.h>

#include <ostream>
#include <stdexcept>
#include <string>

namespace tarnsh {

namespace {

namespace utility = tarncore::utility;

std::string Rest(const Shell::Arguments& inArgs, const char* inUsage) {
    if (inArgs.size() < 2) throw std::invalid_argument(std::string("usage: ") + inUsage);
    std::string text;
    for (std::size_t i = 1; i < inArgs.size(); ++i) text += (i > 1 ? " " : "") + inArgs[i];
    return text;
}

int ToInt(const std::string& inText) {
    std::size_t used = 0;
    const int value = std::stoi(inText, &used);
    if (used != inText.size()) throw std::invalid_argument("not a whole number: " + inText);
    return value;
}

void AddCaseCommand(Shell& ioShell, const std::string& inName, const std::string& inHelp,
                    utility::UTF16String (*inMap)(const utility::UTF16String&)) {
    const std::string usage = inName + " <text>";
    ioShell.Add(inName, usage, inHelp, [usage, inMap](const Shell::Arguments& args, std::ostream& out) {
        out << ToNarrow(inMap(ToWide(Rest(args, usage.c_str())))) << "\n";
    });
}

CommandSet sTextCommands([](Shell& shell) {
    shell.Add("calc", "calc <expression>", "Evaluates an arithmetic expression (+ - * / ^ e, parentheses).",
              [](const Shell::Arguments& args, std::ostream& out) {
                  const double value = utility::Calculate(ToWide(Rest(args, "calc <expression>")));
                  out << ToNarrow(utility::NumberToString(value, 1, 6, utility::kNumberTrimZeros)) << "\n";
              });
    shell.Add("number", "number <text> [digits decimals flags]",
              "Reads a number as the user types it and writes it back in the regional format.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 2 && args.size() != 5)
                      throw std::invalid_argument("usage: number <text> [digits decimals flags]");
                  const double value = tarncore::Locale::GetValueFromDisplayString(ToWide(args[1]));
                  if (args.size() == 2) {
                      out << ToNarrow(utility::NumberToString(value)) << "\n";
                      return;
                  }
                  out << ToNarrow(utility::NumberToString(value, ToInt(args[2]), ToInt(args[3]),
                                                          static_cast<unsigned short>(ToInt(args[4]))))
                      << "\n";
              });
    AddCaseCommand(shell, "upper", "Upper-cases the text with the library's case table.",
                   &utility::UpperCase);
    AddCaseCommand(shell, "lower", "Lower-cases the text with the library's case table.",
                   &utility::LowerCase);
    AddCaseCommand(shell, "fold", "Case-folds the text with the library's case table.", &utility::FoldCase);
    shell.Add("guid", "guid [text]", "Makes a new GUID, or reads one and writes it in its standard form.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() > 2) throw std::invalid_argument("usage: guid [text]");
                  out << (args.size() == 1 ? utility::Guid::CreateUnique() : utility::Guid(args[1])) << "\n";
              });
});

}  // namespace

}  // namespace tarnsh
