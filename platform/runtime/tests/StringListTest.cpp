#include <runtime/StringList.h>

#include <runtime/Exceptions.h>

#include <functional>
#include <vector>

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

TEST(StringList, AssignAndAddStringsCarryTextsAndObjects) {
    int a = 1, b = 2;
    TStringList src;
    src.AddObject("jeden", &a);
    src.AddObject("dwa", &b);
    TStringList dst;
    dst.Add("stary");
    dst.Assign(src);
    ASSERT_EQ(dst.Count(), 2);
    EXPECT_EQ(dst[1], "dwa");
    EXPECT_EQ(dst.Objects(0), &a);
    EXPECT_EQ(dst.IndexOfObject(&b), 1);
    dst.AddStrings(dst); // a list added to itself doubles once
    ASSERT_EQ(dst.Count(), 4);
    EXPECT_EQ(dst[3], "dwa");
    EXPECT_EQ(dst.Objects(3), &b);
    dst.Assign(dst);
    EXPECT_EQ(dst.Count(), 4);
}

TEST(StringList, SortedListKeepsObjectsWithTheirTexts) {
    int a = 1, b = 2, c = 3;
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(TDuplicates::dupAccept);
    l.AddObject("b", &b);
    l.AddObject("a", &a);
    l.AddObject("B", &c); // after the equal line already there
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Objects(0), &a);
    EXPECT_EQ(l[1], "b");
    EXPECT_EQ(l[2], "B");
    EXPECT_EQ(l.Objects(2), &c);
    EXPECT_THROW(l.Insert(0, "x"), EListError);
}

TEST(StringList, EveryBadIndexIsOneErrorKindWithTheIndex) {
    TStringList l;
    l.Add("x");
    const std::function<void()> calls[] = {
        [&] { (void)l[1]; },        [&] { (void)l[-1]; },         [&] { l.Delete(1); },
        [&] { l.Put(2, "y"); },     [&] { l.Insert(3, "y"); },    [&] { (void)l.Objects(1); },
        [&] { l.PutObject(5, nullptr); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message().rfind("List index out of bounds (", 0), 0u) << e.Message();
        }
    }
    EXPECT_NO_THROW(l.Insert(1, "end"));
}

namespace {
struct BatchList : TStringList {
    std::vector<bool> states;
    void SetUpdateState(bool updating) override { states.push_back(updating); }
};
} // namespace

TEST(StringList, UpdatesNestAndTextSplitsAtEveryLineBreak) {
    BatchList l;
    l.BeginUpdate();
    l.BeginUpdate();
    l.SetText("a\r\nb\nc\rd");
    l.EndUpdate();
    EXPECT_EQ(l.states, (std::vector<bool>{true}));
    l.EndUpdate();
    l.EndUpdate(); // one too many changes nothing
    EXPECT_EQ(l.states, (std::vector<bool>{true, false}));
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n");
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
}
