#include <runtime/StringList.h>

#include <gtest/gtest.h>

using namespace rtl;

TEST(StringList, UnsortedKeepsOrderAndDuplicates) {
    TStringList l;
    l.Add("b");
    l.Add("a");
    l.Add("b");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "b");
    EXPECT_EQ(l[2], "b");
    EXPECT_EQ(l.IndexOf("A"), 1); // case ignored by default
}

TEST(StringList, SortedInsertsInOrderAndAppliesDuplicateRule) {
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"c.Zip", "b.zip", "A.ZIP", "b.zip"})
        l.Add(s);
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "A.ZIP");
    EXPECT_EQ(l[1], "b.zip");
    EXPECT_EQ(l[2], "c.Zip");
    l.SetDuplicates(TDuplicates::dupAccept);
    l.Add("B.ZIP");
    EXPECT_EQ(l.Count(), 4);
}

namespace {
struct CountingList : TStringList {
    int adds = 0;
    int Add(const std::string& s) override {
        ++adds;
        return TStringList::Add(s + "!");
    }
};
} // namespace

TEST(StringList, AddIsOverridable) {
    CountingList c;
    TStringList& base = c;
    base.Add("x");
    EXPECT_EQ(c.adds, 1);
    EXPECT_EQ(c[0], "x!");
}
