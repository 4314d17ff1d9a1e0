// Tests of RefCountedObject's reference counting.
#include <tarncore/utility/RefCountedObject.h>

#include <gtest/gtest.h>
#include <boost/intrusive_ptr.hpp>

using tarncore::utility::RefCountedObject;

namespace {

struct Counted : RefCountedObject {
    explicit Counted(int* inDeaths) : deaths(inDeaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};

}  // namespace

TEST(RefCountedObject, LastReferenceDeletesUnlessFlagged) {
    int deaths = 0;
    {
        boost::intrusive_ptr<Counted> a(new Counted(&deaths)), b = a;
        EXPECT_EQ(a->GetRefCount(), 2);
        Counted copy(*a);  // a copy starts with no references
        EXPECT_TRUE(copy.GetRefCount() == 0 && !copy.IsBeingDestroyed());
    }
    EXPECT_EQ(deaths, 2);  // the heap object and the copy, each once

    Counted onStack(&deaths);
    onStack.SetNotOwnedByReferences(true);
    { boost::intrusive_ptr<Counted> ref(&onStack); }
    EXPECT_EQ(deaths, 2);  // references do not own it
    EXPECT_EQ(onStack.GetRefCount(), 0);
}
