// Tests of the property list model: typed values, lists, nested lists, copies and the geometry helpers.
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/utility/StringTypes.h>

#include "proplist/src/PropListWalker.h"

#include <gtest/gtest.h>

#include <list>

namespace {

using namespace tarncore;
using namespace tarncore::proplist;
using utility::MakeUTF16;
using utility::MakeUTF8;
using utility::UTF16String;
using utility::UTF8String;

UTF8String K(const char* inKey) { return MakeUTF8(inKey); }

TEST(PropList, ValuesAreTypedWithoutConversion) {
    PropList list;
    EXPECT_EQ(list.GetPropertyType(K("a")), kPropertyNone);
    list.SetValue(K("a"), std::int32_t(5));
    std::uint32_t unsignedValue = 7;
    EXPECT_FALSE(list.GetValue(K("a"), unsignedValue));
    EXPECT_EQ(unsignedValue, 7u) << "untouched";
    std::int32_t signedValue = 0;
    EXPECT_TRUE(list.GetValue(K("a"), signedValue));
    EXPECT_EQ(signedValue, 5);
}

TEST(PropList, ListsAppendAndEachListTypeHasItsCode) {
    PropList list;
    list.SetValue(K("l"), std::list<std::int32_t>{1, 2});
    std::list<std::int32_t> values{9};
    EXPECT_TRUE(list.GetValue(K("l"), values));
    EXPECT_EQ(values, (std::list<std::int32_t>{9, 1, 2}));
    list.SetValue(K("l"), std::list<std::int32_t>{3});
    values.clear();
    list.GetValue(K("l"), values);
    EXPECT_EQ(values, (std::list<std::int32_t>{3}));
    std::int32_t single = 0;
    EXPECT_FALSE(list.GetValue(K("l"), single)) << "a list is not its element";

    list.SetValue(K("12"), std::list<UTF16String>{});
    list.SetValue(K("13"), std::list<UTF8String>{});
    list.SetValue(K("14"), std::list<bool>{});
    list.SetValue(K("15"), std::list<unsigned short>{});
    list.SetValue(K("16"), std::list<std::uint32_t>{});
    list.SetValue(K("17"), std::list<std::int32_t>{});
    list.SetValue(K("18"), std::list<std::int64_t>{});
    list.SetValue(K("19"), std::list<std::uint64_t>{});
    list.SetValue(K("20"), std::list<float>{});
    list.SetValue(K("21"), std::list<double>{});
    for (int code = 12; code <= 21; ++code)
        EXPECT_EQ(list.GetPropertyType(K(std::to_string(code).c_str())), code);
}

TEST(PropList, SubListsKeysRemovalAndClear) {
    PropList list;
    PropList* sub = list.NewSubList(K("s"));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(list.NewSubList(K("s")), sub);
    EXPECT_EQ(list.GetSubList(K("s")), sub);
    list.SetValue(K("s"), true);
    EXPECT_EQ(list.GetSubList(K("s")), nullptr);
    // NewSubList replaces what the key held.
    EXPECT_NE(list.NewSubList(K("s")), nullptr);
    EXPECT_EQ(list.GetPropertyType(K("s")), kPropertyList);

    list.SetValue(K("a"), true);
    list.SetValue(K("B"), true);
    std::list<UTF8String> names{K("first")};
    list.GetPropertyNames(names);
    EXPECT_EQ(names, (std::list<UTF8String>{K("first"), K("B"), K("a"), K("s")})) << "byte order, appended";

    EXPECT_TRUE(list.RemoveValue(K("a")));
    EXPECT_FALSE(list.RemoveValue(K("a")));
    PropListWalker::SetVersion(list, 2);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetVersion(), 2) << "Clear keeps the version";
}

TEST(PropList, CopiesAreDeep) {
    PropList original;
    original.SetValue(K("n"), std::int32_t(1));
    original.NewSubList(K("s"))->SetValue(K("inner"), std::list<UTF16String>{MakeUTF16(u"x")});
    PropListWalker::SetVersion(original, 3);

    PropList copy(original);
    copy.GetSubList(K("s"))->SetValue(K("inner"), std::list<UTF16String>{MakeUTF16(u"changed")});
    std::list<UTF16String> inner;
    original.GetSubList(K("s"))->GetValue(K("inner"), inner);
    EXPECT_EQ(inner, std::list<UTF16String>{MakeUTF16(u"x")});
    EXPECT_EQ(copy.GetVersion(), 3);
    PropList assigned;
    assigned.SetValue(K("gone"), true);
    assigned = original;
    EXPECT_EQ(assigned.GetPropertyType(K("gone")), kPropertyNone);
    EXPECT_NE(assigned.GetSubList(K("s")), original.GetSubList(K("s")));
    UTF8String a, b;
    utils::WritePropList(a, assigned);
    utils::WritePropList(b, original);
    EXPECT_EQ(a, b);
}

TEST(PropList, VersionOneReadsDoublesFromUTF16Strings) {
    PropList list;
    list.SetValue(K("d"), MakeUTF16(u"2.5"));
    list.SetValue(K("bad"), MakeUTF16(u"abc"));
    list.SetValue(K("s"), MakeUTF8("2.5"));
    double value = -1;
    EXPECT_FALSE(list.GetValue(K("d"), value));
    PropListWalker::SetVersion(list, 1);
    EXPECT_TRUE(list.GetValue(K("d"), value));
    EXPECT_EQ(value, 2.5);
    EXPECT_TRUE(list.GetValue(K("bad"), value));
    EXPECT_EQ(value, 0.0);
    EXPECT_FALSE(list.GetValue(K("s"), value)) << "UTF-8 strings are not read";
}

TEST(PropListGeometry, PointsAndRectanglesUnderOneKey) {
    PropList list;
    utils::WritePointF32(K("p"), geom::PointF(1.5f, -2.0f), &list);
    utils::WriteRectF32(K("r"), geom::RectF(1, 2, 3, 4), &list);
    utils::WriteRect32(K("i"), geom::Rect32(-1, -2, 30, 40), list);
    EXPECT_EQ(utils::ReadPointF32(K("p"), &list), geom::PointF(1.5f, -2.0f));
    EXPECT_EQ(utils::ReadRectF32(K("r"), &list), geom::RectF(1, 2, 3, 4));
    EXPECT_EQ(utils::ReadRect32(K("i"), list), geom::Rect32(-1, -2, 30, 40));
    std::list<float> stored;
    list.GetValue(K("r"), stored);
    EXPECT_EQ(stored, (std::list<float>{1, 2, 3, 4}));
    EXPECT_EQ(utils::ReadRectF32(K("missing"), &list), geom::RectF());
    EXPECT_EQ(utils::ReadRect32(K("r"), list), geom::Rect32()) << "floats are not longs";
    list.SetValue(K("short"), std::list<float>{7});
    EXPECT_EQ(utils::ReadRectF32(K("short"), &list), geom::RectF(7, 0, 0, 0));
    EXPECT_EQ(utils::ReadPointF32(K("short"), &list), geom::PointF(7, 0));
}

}  // namespace
