// Built against an installed tarncore, outside the source tree.
#include <tarncore/tarncore.h>

#include <cstdio>

int main() {
    using namespace tarncore;
    const utility::UTF8String text = utility::UTF16to8(config::GetVersionString());
    std::printf("%.*s\n", static_cast<int>(text.size()), reinterpret_cast<const char*>(text.data()));
    return text == utility::MakeUTF8("2.0.0.127159") ? 0 : 1;
}
