#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <quortypes/hdeque.h>
#include <quortypes/hdict.h>
#include <quortypes/hlist.h>
#include <quortypes/util.h>

#include <stdexcept>

template <class E, class F> static hstring messageOf(F&& action)
{
    try
    {
        action();
    }
    catch (const E& e)
    {
        return e.getMessage();
    }
    ADD_FAILURE() << "no error";
    return "";
}

TEST(harray, indexErrors)
{
    harray<int> a = {1, 2, 3};
    EXPECT_EQ(a.at(2), 3);
    EXPECT_TRUE(messageOf<quortypes::_container_index_error>([&] { a.removeAt(3); })
                    .endsWith("] index '3' out of range"));
    EXPECT_TRUE(
        messageOf<quortypes::_container_index_error>([&] { a.at(7); }).endsWith("index '7' out of range"));
    harray<int> empty;
    EXPECT_TRUE(messageOf<quortypes::_container_index_error>([&] { empty.pop(); })
                    .endsWith("index '0' out of range"));
    EXPECT_TRUE(messageOf<quortypes::_container_index_error>([&] { empty.removeFirst(); })
                    .endsWith("index '0' out of range"));
    for (auto action : {+[](harray<int>& a) { a.at(-1); }, +[](harray<int>& a) { a.removeAt(-1); }})
    {
        try
        {
            action(a);
            ADD_FAILURE() << "no error";
        }
        catch (const std::out_of_range& e)
        {
            EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
        }
    }
    EXPECT_EQ(a, harray<int>({1, 2, 3}));
}

TEST(harray, editing)
{
    harray<int> a = {5, 1, 5, 2, 5};
    EXPECT_EQ(a.removeAt(1), 1);
    EXPECT_EQ(a, harray<int>({5, 5, 2, 5}));
    EXPECT_EQ(a.indexesOf(5), harray<int>({0, 1, 3}));
    EXPECT_EQ(a.removeAll(5), 3);
    EXPECT_EQ(a, harray<int>({2}));
    a.remove(2);
    EXPECT_TRUE(a.empty());
    EXPECT_TRUE(messageOf<quortypes::_container_element_not_found>([&] { a.remove(2); })
                    .endsWith("] element not found in container\t"));

    harray<int> b = {1, 2};
    b.insertAt(2, harray<int>({3, 4}));
    EXPECT_EQ(b, harray<int>({1, 2, 3, 4}));
    b.insertAt(0, b);
    EXPECT_EQ(b, harray<int>({1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_THROW(b.insertAt(9, b), quortypes::_container_index_error);

    harray<int> c = {3, 1, 3, 2, 1};
    c.removeDuplicates();
    EXPECT_EQ(c, harray<int>({3, 1, 2}));
    EXPECT_EQ(c.pop(), 2);
    EXPECT_EQ(c.removeFirst(), 3);
    EXPECT_EQ(c + harray<int>({7}), harray<int>({1, 7}));
}

TEST(harray, subRanges)
{
    harray<int> empty;
    EXPECT_TRUE(empty.sub(0, 0).empty());
    EXPECT_TRUE(messageOf<quortypes::_container_range_error>([&] { empty.sub(0, 1); })
                    .endsWith("] range 'at 0 for 1' out of range"));
    harray<int> a = {1, 2, 3, 4};
    EXPECT_EQ(a.sub(1, 2), harray<int>({2, 3}));
    EXPECT_EQ(a.sub(0, 4), a);
    EXPECT_TRUE(messageOf<quortypes::_container_range_error>([&] { a.sub(-1, 2); })
                    .endsWith("range 'at -1 for 2' out of range"));
    EXPECT_TRUE(messageOf<quortypes::_container_range_error>([&] { a.sub(2, 0x7FFFFFFF); })
                    .endsWith("range 'at 2 for 2147483647' out of range"));
}

TEST(harray, randomAndJoined)
{
    harray<int> empty;
    EXPECT_TRUE(messageOf<quortypes::_container_empty_error>([&] { empty.random(); })
                    .endsWith("] 'random()' cannot be used on a container with size = 0"));
    harray<int> a = {4, 5, 6};
    int value = a.random();
    EXPECT_TRUE(value >= 4 && value <= 6);
    EXPECT_EQ(harray<hstring>().joined(", "), "");
    EXPECT_EQ(harray<hstring>({"a", "b"}).joined(", "), "a, b");
}

TEST(hlistAndHdeque, sameOperations)
{
    hlist<int> l = {1, 2, 3, 2};
    EXPECT_EQ(l.sub(1, 2), hlist<int>({2, 3}));
    l.remove(2);
    EXPECT_EQ(l, hlist<int>({1, 3, 2}));
    EXPECT_EQ(l.at(2), 2);
    EXPECT_TRUE(
        messageOf<quortypes::_container_element_not_found>([&] { l.remove(9); }).startsWith("[hlist:"));
    EXPECT_TRUE(messageOf<quortypes::_container_range_error>([&] { l.sub(2, 2); })
                    .endsWith("range 'at 2 for 2' out of range"));

    hdeque<hstring> d = {"x", "y", "z"};
    EXPECT_EQ(d.sub(0, 2), hdeque<hstring>({"x", "y"}));
    EXPECT_EQ(d.joined("+"), "x+y+z");
    EXPECT_EQ(d.removeAt(1), "y");
    EXPECT_TRUE(messageOf<quortypes::_container_index_error>([&] { d.at(2); }).startsWith("[hdeque:"));
}

TEST(hdict, operations)
{
    hdict<int> d;
    d["b"] = 1;
    d["a"] = 2;
    d["ab"] = 3;
    EXPECT_EQ(d.keys(), harray<hstring>({"a", "ab", "b"}));
    EXPECT_EQ(d.tryGet("q", -1), -1);
    EXPECT_EQ(d.tryGet("ab", -1), 3);
    EXPECT_TRUE(d.hasValue(3));
    d.removeKey("ab");
    d.removeKey("missing");
    EXPECT_EQ(d.keys(), harray<hstring>({"a", "b"}));
    hdict<hstring> texts;
    // bytes compare unsigned: UTF-8 sorts after ASCII
    texts["\xC3\xA9"] = "e";
    texts["z"] = "z";
    EXPECT_EQ(texts.keys().back(), "\xC3\xA9");
}
