// Property-list files from the console: show one as a tree, get and set one value.
// A value is named by its key path ("Window/Title").
#include "HostServices.h"
#include "Shell.h"

#include <tarncore/filesupport/File.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <list>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnsh {

namespace {

namespace fsup = tarncore::filesupport;
namespace plist = tarncore::proplist;
using plist::PropList;
using tarncore::utility::UTF16String;
using tarncore::utility::UTF8String;

const char* const kTypeNames[] = {"none",        "ustring",     "string",       "bool",        "uint16",
                                  "uint32",      "int32",       "int64",        "uint64",      "float",
                                  "double",      "list",        "ustring list", "string list", "bool list",
                                  "uint16 list", "uint32 list", "int32 list",   "int64 list",  "uint64 list",
                                  "float list",  "double list"};

std::string TypeName(plist::PropListPropertyType inType) {
    return inType >= 0 && inType <= plist::kPropertyDoubleList ? kTypeNames[inType] : "unknown";
}

UTF8String Key(const std::string& inKey) { return UTF8String(inKey.begin(), inKey.end()); }
std::string Text(const UTF8String& inText) { return std::string(inText.begin(), inText.end()); }

std::string Quoted(const std::string& inText) { return "\"" + inText + "\""; }

// Numbers as short as reads back exactly.
template <class T>
std::string NumberText(T inValue) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, inValue);
    return std::string(text, result.ptr);
}

std::string ItemText(const UTF16String& inValue) { return Quoted(ToNarrow(inValue)); }
std::string ItemText(const UTF8String& inValue) { return Quoted(Text(inValue)); }
std::string ItemText(bool inValue) { return inValue ? "true" : "false"; }
template <class T>
std::string ItemText(T inValue) {
    return NumberText(inValue);
}

template <class T>
std::string ScalarText(const PropList& inList, const UTF8String& inKey) {
    T value{};
    inList.GetValue(inKey, value);
    return ItemText(value);
}

template <class T>
std::string ListText(const PropList& inList, const UTF8String& inKey) {
    std::list<T> values;
    inList.GetValue(inKey, values);
    std::string text = "[";
    for (const T& value : values) text += (text.size() > 1 ? ", " : "") + ItemText(value);
    return text + "]";
}

// The value under the key as text; empty for a nested list.
std::string ValueText(const PropList& inList, const UTF8String& inKey) {
    switch (inList.GetPropertyType(inKey)) {
    case plist::kPropertyUnicodeString: return ScalarText<UTF16String>(inList, inKey);
    case plist::kPropertyString: return ScalarText<UTF8String>(inList, inKey);
    case plist::kPropertyBool: return ScalarText<bool>(inList, inKey);
    case plist::kPropertyUInt16: return ScalarText<unsigned short>(inList, inKey);
    case plist::kPropertyUInt32: return ScalarText<std::uint32_t>(inList, inKey);
    case plist::kPropertyInt32: return ScalarText<std::int32_t>(inList, inKey);
    case plist::kPropertyInt64: return ScalarText<std::int64_t>(inList, inKey);
    case plist::kPropertyUInt64: return ScalarText<std::uint64_t>(inList, inKey);
    case plist::kPropertyFloat: return ScalarText<float>(inList, inKey);
    case plist::kPropertyDouble: return ScalarText<double>(inList, inKey);
    case plist::kPropertyUnicodeStringList: return ListText<UTF16String>(inList, inKey);
    case plist::kPropertyStringList: return ListText<UTF8String>(inList, inKey);
    case plist::kPropertyBoolList: return ListText<bool>(inList, inKey);
    case plist::kPropertyUInt16List: return ListText<unsigned short>(inList, inKey);
    case plist::kPropertyUInt32List: return ListText<std::uint32_t>(inList, inKey);
    case plist::kPropertyInt32List: return ListText<std::int32_t>(inList, inKey);
    case plist::kPropertyInt64List: return ListText<std::int64_t>(inList, inKey);
    case plist::kPropertyUInt64List: return ListText<std::uint64_t>(inList, inKey);
    case plist::kPropertyFloatList: return ListText<float>(inList, inKey);
    case plist::kPropertyDoubleList: return ListText<double>(inList, inKey);
    case plist::kPropertyList:
    case plist::kPropertyNone: break;
    }
    return std::string();
}

void PrintTree(const PropList& inList, int inIndent, std::ostream& out) {
    std::list<UTF8String> keys;
    inList.GetPropertyNames(keys);
    for (const UTF8String& key : keys) {
        const std::string indent(static_cast<std::size_t>(inIndent) * 2, ' ');
        if (const PropList* sub = inList.GetSubList(key)) {
            out << indent << Text(key) << "\n";
            PrintTree(*sub, inIndent + 1, out);
        } else {
            const plist::PropListPropertyType type = inList.GetPropertyType(key);
            out << indent << Text(key) << " (" << TypeName(type) << ") = " << ValueText(inList, key) << "\n";
        }
    }
}

fsup::File FileOf(const std::string& inPath) { return fsup::File(ToWide(inPath)); }

PropList Load(const fsup::File& inFile) {
    PropList list;
    plist::utils::LoadPropList(inFile.FullPath(), list);
    return list;
}

std::vector<std::string> SplitPath(const std::string& inPath) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    for (std::size_t slash; (slash = inPath.find('/', start)) != std::string::npos; start = slash + 1)
        keys.push_back(inPath.substr(start, slash - start));
    keys.push_back(inPath.substr(start));
    return keys;
}

// The list that holds the path's last key. With inMake, missing lists on the way are
// made; a key on the way that holds a value is an error either way.
PropList* Parent(PropList& ioRoot, const std::vector<std::string>& inKeys, bool inMake) {
    PropList* list = &ioRoot;
    for (std::size_t i = 0; i + 1 < inKeys.size(); ++i) {
        const UTF8String key = Key(inKeys[i]);
        if (PropList* sub = list->GetSubList(key)) {
            list = sub;
        } else if (list->GetPropertyType(key) != plist::kPropertyNone) {
            throw std::runtime_error(inKeys[i] + " holds a value, not a list");
        } else if (inMake) {
            list = list->NewSubList(key);
        } else {
            throw std::runtime_error("no list " + inKeys[i]);
        }
    }
    return list;
}

template <class T>
T ParseNumber(const std::string& inText) {
    T value{};
    const auto result = std::from_chars(inText.data(), inText.data() + inText.size(), value);
    if (result.ec != std::errc() || result.ptr != inText.data() + inText.size() || inText.empty())
        throw std::invalid_argument("not a " +
                                    std::string(std::numeric_limits<T>::is_integer ? "whole " : "") +
                                    "number of that type: " + inText);
    return value;
}

void SetScalar(PropList& ioList, const UTF8String& inKey, plist::PropListPropertyType inType,
               const std::string& inValue) {
    switch (inType) {
    case plist::kPropertyUnicodeString: ioList.SetValue(inKey, ToWide(inValue)); return;
    case plist::kPropertyString: ioList.SetValue(inKey, Key(inValue)); return;
    case plist::kPropertyBool:
        if (inValue != "true" && inValue != "false") throw std::invalid_argument("a bool is true or false");
        ioList.SetValue(inKey, inValue == "true");
        return;
    case plist::kPropertyUInt16: ioList.SetValue(inKey, ParseNumber<unsigned short>(inValue)); return;
    case plist::kPropertyUInt32: ioList.SetValue(inKey, ParseNumber<std::uint32_t>(inValue)); return;
    case plist::kPropertyInt32: ioList.SetValue(inKey, ParseNumber<std::int32_t>(inValue)); return;
    case plist::kPropertyInt64: ioList.SetValue(inKey, ParseNumber<std::int64_t>(inValue)); return;
    case plist::kPropertyUInt64: ioList.SetValue(inKey, ParseNumber<std::uint64_t>(inValue)); return;
    case plist::kPropertyFloat: ioList.SetValue(inKey, ParseNumber<float>(inValue)); return;
    case plist::kPropertyDouble: ioList.SetValue(inKey, ParseNumber<double>(inValue)); return;
    default: throw std::invalid_argument("plist-set sets single values, not " + TypeName(inType) + "s");
    }
}

plist::PropListPropertyType TypeNamed(const std::string& inName) {
    for (int type = plist::kPropertyUnicodeString; type <= plist::kPropertyDouble; ++type)
        if (inName == kTypeNames[type]) return static_cast<plist::PropListPropertyType>(type);
    throw std::invalid_argument("unknown type " + inName +
                                " (ustring string bool uint16 uint32 int32 int64 uint64 float double)");
}

const CommandSet sPropListCommands([](Shell& shell) {
    shell.Add("plist-show", "plist-show <file>", "Shows a property-list file as an indented tree.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 2) throw std::invalid_argument("usage: plist-show <file>");
                  const PropList list = Load(FileOf(args[1]));
                  out << "version " << list.GetVersion() << "\n";
                  PrintTree(list, 0, out);
              });
    shell.Add("plist-get", "plist-get <file> <key/path>",
              "Prints one value of a property-list file (a nested list as a tree).",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 3) throw std::invalid_argument("usage: plist-get <file> <key/path>");
                  PropList list = Load(FileOf(args[1]));
                  const std::vector<std::string> keys = SplitPath(args[2]);
                  const PropList* parent = Parent(list, keys, false);
                  const UTF8String key = Key(keys.back());
                  if (const PropList* sub = parent->GetSubList(key))
                      PrintTree(*sub, 0, out);
                  else if (parent->GetPropertyType(key) == plist::kPropertyNone)
                      throw std::runtime_error("no value " + args[2]);
                  else
                      out << ValueText(*parent, key) << "\n";
              });
    shell.Add("plist-set", "plist-set <file> <key/path> <value> [type]",
              "Sets one value and saves the file, made when missing; lists on the path are made too. "
              "Types: ustring string bool uint16 uint32 int32 int64 uint64 float double (by default "
              "the present one, else ustring).",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 4 && args.size() != 5)
                      throw std::invalid_argument("usage: plist-set <file> <key/path> <value> [type]");
                  fsup::File file = FileOf(args[1]);
                  PropList list = file.Exists() ? Load(file) : PropList();
                  const std::vector<std::string> keys = SplitPath(args[2]);
                  PropList* parent = Parent(list, keys, true);
                  const UTF8String key = Key(keys.back());
                  plist::PropListPropertyType type = parent->GetPropertyType(key);
                  if (args.size() == 5)
                      type = TypeNamed(args[4]);
                  else if (type == plist::kPropertyNone)
                      type = plist::kPropertyUnicodeString;
                  SetScalar(*parent, key, type, args[3]);
                  plist::utils::SavePropList(file, list);
                  out << args[2] << " (" << TypeName(type) << ") = " << ValueText(*parent, key) << "\n";
              });
});

}  // namespace

}  // namespace tarnsh
