// The library's own access to a property list's entries.
#pragma once

#include <tarncore/proplist/PropList.h>

#include <map>

namespace tarncore {
namespace proplist {

class PropListWalker {
public:
    using Entries = std::map<PropList::Key, PropNodeBase*>;

    static const Entries& EntriesOf(const PropList& inList) { return inList.mProperties; }
    static void SetVersion(PropList& ioList, unsigned short inVersion) { ioList.mVersion = inVersion; }
    // Stores the node (taking it) under the key, replacing what the key held.
    static void Store(PropList& ioList, const PropList::Key& inKey, PropNodeBase* inNode) {
        ioList.Store(ioList.Position(inKey), inKey, inNode);
    }
    // A deep copy of the node.
    static PropNodeBase* Clone(const PropNodeBase& inNode);
};

}  // namespace proplist
}  // namespace tarncore
