// Property lists: ordered maps from UTF-8 keys to typed values, lists and nested lists.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <list>
#include <map>

/// @file
/// Property lists: ordered maps from UTF-8 keys to typed values, lists of values and
/// nested property lists.
namespace tarncore {
namespace proplist {

class PropNodeBase;
class PropListWalker;

/// The type of a value; the numbers are part of the library's interface.
enum PropListPropertyType : std::int32_t {
    kPropertyNone = 0,  ///< no value under the key
    kPropertyUnicodeString = 1,
    kPropertyString = 2,
    kPropertyBool = 3,
    kPropertyUInt16 = 4,
    kPropertyUInt32 = 5,
    kPropertyInt32 = 6,
    kPropertyInt64 = 7,
    kPropertyUInt64 = 8,
    kPropertyFloat = 9,
    kPropertyDouble = 10,
    kPropertyList = 11,  ///< a nested property list
    /// Lists of values. Note that the two string lists come in the opposite order of the
    /// two string values.
    kPropertyUnicodeStringList = 12,
    kPropertyStringList = 13,
    kPropertyBoolList = 14,
    kPropertyUInt16List = 15,
    kPropertyUInt32List = 16,
    kPropertyInt32List = 17,
    kPropertyInt64List = 18,
    kPropertyUInt64List = 19,
    kPropertyFloatList = 20,
    kPropertyDoubleList = 21
};

/// Keys are ordered by their bytes, unsigned. Copies are deep. A list is not locked:
/// callers take turns.
///
/// GetValue gives a value only when the key holds one of exactly the type asked for
/// (there is no conversion between types, with one exception: in a list of version 1, a
/// double asked for where a UTF-16 string is stored is read from that string). The list
/// forms append to the caller's list. SetValue replaces whatever the key held.
class TARNCORE_API PropList {
public:
    using Key = utility::UTF8String;

    PropList();
    PropList(const PropList& inOther);
    PropList& operator=(const PropList& inOther);
    virtual ~PropList();

    virtual bool GetValue(const Key& inKey, std::list<double>& ioValue) const;
    virtual bool GetValue(const Key& inKey, double& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<float>& ioValue) const;
    virtual bool GetValue(const Key& inKey, float& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<std::uint64_t>& ioValue) const;
    virtual bool GetValue(const Key& inKey, std::uint64_t& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<std::int64_t>& ioValue) const;
    virtual bool GetValue(const Key& inKey, std::int64_t& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<std::int32_t>& ioValue) const;
    virtual bool GetValue(const Key& inKey, std::int32_t& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<std::uint32_t>& ioValue) const;
    virtual bool GetValue(const Key& inKey, std::uint32_t& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<unsigned short>& ioValue) const;
    virtual bool GetValue(const Key& inKey, unsigned short& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<bool>& ioValue) const;
    virtual bool GetValue(const Key& inKey, bool& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<utility::UTF8String>& ioValue) const;
    virtual bool GetValue(const Key& inKey, utility::UTF8String& outValue) const;
    virtual bool GetValue(const Key& inKey, std::list<utility::UTF16String>& ioValue) const;
    virtual bool GetValue(const Key& inKey, utility::UTF16String& outValue) const;

    virtual void SetValue(const Key& inKey, const std::list<double>& inValue);
    virtual void SetValue(const Key& inKey, const double& inValue);
    virtual void SetValue(const Key& inKey, const std::list<float>& inValue);
    virtual void SetValue(const Key& inKey, const float& inValue);
    virtual void SetValue(const Key& inKey, const std::list<std::uint64_t>& inValue);
    virtual void SetValue(const Key& inKey, const std::uint64_t& inValue);
    virtual void SetValue(const Key& inKey, const std::list<std::int64_t>& inValue);
    virtual void SetValue(const Key& inKey, const std::int64_t& inValue);
    virtual void SetValue(const Key& inKey, const std::list<std::int32_t>& inValue);
    virtual void SetValue(const Key& inKey, const std::int32_t& inValue);
    virtual void SetValue(const Key& inKey, const std::list<std::uint32_t>& inValue);
    virtual void SetValue(const Key& inKey, const std::uint32_t& inValue);
    virtual void SetValue(const Key& inKey, const std::list<unsigned short>& inValue);
    virtual void SetValue(const Key& inKey, const unsigned short& inValue);
    virtual void SetValue(const Key& inKey, const std::list<bool>& inValue);
    virtual void SetValue(const Key& inKey, const bool& inValue);
    virtual void SetValue(const Key& inKey, const std::list<utility::UTF8String>& inValue);
    virtual void SetValue(const Key& inKey, const utility::UTF8String& inValue);
    virtual void SetValue(const Key& inKey, const std::list<utility::UTF16String>& inValue);
    virtual void SetValue(const Key& inKey, const utility::UTF16String& inValue);

    /// A string literal would silently become a bool: make the string type explicit.
    /// @{
    void SetValue(const Key& inKey, const char* inValue) = delete;
    void SetValue(const Key& inKey, const char16_t* inValue) = delete;
    /// @}

    /// The nested list under the key, owned by this list; null when the key holds none.
    virtual PropList* GetSubList(const Key& inKey) const;
    /// The nested list under the key, made (empty, current version) when the key holds
    /// none, replacing what it held. Owned by this list.
    virtual PropList* NewSubList(const Key& inKey);
    /// Removes every entry; the version stays.
    virtual void Clear();
    /// Appends the list's XML block (PropListUtils.h) to ioText.
    virtual void OutputAsXMLFragment(utility::UTF8String& ioText) const;
    /// Appends every key, in order.
    virtual void GetPropertyNames(std::list<utility::UTF8String>& ioNames) const;
    /// kPropertyNone when the key is absent.
    virtual PropListPropertyType GetPropertyType(const Key& inKey) const;

    bool IsEmpty() const { return mProperties.empty(); }
    /// False when the key is absent.
    bool RemoveValue(const Key& inKey);
    /// The format version of the document the list was read from, else the current one.
    unsigned short GetVersion() const { return mVersion; }
    static unsigned short GetCurrentVersion() { return kCurrentVersion; }

    /// The deepest nesting of lists a document may have (this list counting as one);
    /// a document read or saved must stay within it.
    static constexpr int kMaxNesting = 256;

private:
    // The library's own access to the entries (the reader, the writer, copies).
    friend class PropListWalker;

    static constexpr unsigned short kCurrentVersion = 4;

    template <class NodeT, class ValueT>
    bool GetScalar(const Key& inKey, ValueT& outValue) const;
    template <class NodeT, class ValueT>
    bool GetList(const Key& inKey, std::list<ValueT>& ioValue) const;
    template <class NodeT, class ValueT>
    void SetScalar(const Key& inKey, const ValueT& inValue);
    template <class NodeT, class ValueT>
    void SetList(const Key& inKey, const std::list<ValueT>& inValue);
    using Entries = std::map<Key, PropNodeBase*>;

    const PropNodeBase* Find(const Key& inKey) const;
    // The first entry whose key is not less than inKey.
    Entries::iterator Position(const Key& inKey);
    // Stores the node under the key, destroying what the key held; inPosition is the
    // key's Position.
    void Store(Entries::iterator inPosition, const Key& inKey, PropNodeBase* inNode);

    Entries mProperties;
    unsigned short mVersion;
};

}  // namespace proplist
}  // namespace tarncore
