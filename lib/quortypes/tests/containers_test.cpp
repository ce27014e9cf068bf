#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <quortypes/hdeque.h>
#include <quortypes/hdict.h>
#include <quortypes/hlist.h>

#include <stdexcept>

// The message of the error E that action throws, without its "[source:line] " decoration.
template <class E, class F> static std::string messageOf(F&& action)
{
    try
    {
        action();
    }
    catch (const E& e)
    {
        std::string message = e.getMessage();
        return message.substr(message.find("] ") + 2);
    }
    catch (const std::out_of_range& e)
    {
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return "";
}

TEST(harray, errorsCarryTheirArguments)
{
    using quortypes::_container_index_error;
    harray<int> a = {1, 2, 3};
    harray<int> empty;
    EXPECT_EQ(messageOf<_container_index_error>([&] { a.removeAt(3); }), "index '3' out of range");
    EXPECT_EQ(messageOf<_container_index_error>([&] { empty.pop(); }), "index '0' out of range");
    // A negative index passes the index check and meets the standard one.
    EXPECT_EQ(messageOf<_container_index_error>([&] { a.removeAt(-1); }), "invalid vector<T> subscript");
    EXPECT_EQ(messageOf<quortypes::_container_range_error>([&] { empty.sub(0, 1); }),
              "range 'at 0 for 1' out of range");
    EXPECT_EQ(messageOf<quortypes::_container_range_error>([&] { a.sub(2, 0x7FFFFFFF); }),
              "range 'at 2 for 2147483647' out of range");
    EXPECT_EQ(messageOf<quortypes::_container_empty_error>([&] { empty.random(); }),
              "'random()' cannot be used on a container with size = 0");
    EXPECT_EQ(messageOf<quortypes::_container_element_not_found>([&] { a.remove(9); }),
              "element not found in container\t");
    EXPECT_THROW(a.insertAt(4, a), _container_index_error);
    EXPECT_EQ(a, harray<int>({1, 2, 3}));
    EXPECT_TRUE(empty.sub(0, 0).empty());
}

TEST(harray, editing)
{
    harray<int> a = {5, 1, 5, 2, 5};
    EXPECT_EQ(a.removeAt(1), 1);
    EXPECT_EQ(a.indexesOf(5), harray<int>({0, 1, 3}));
    EXPECT_EQ(a.removeAll(5), 3);
    EXPECT_EQ(a, harray<int>({2}));

    harray<int> b = {1, 2};
    b.insertAt(2, harray<int>({3, 4}));
    b.insertAt(0, b);
    EXPECT_EQ(b, harray<int>({1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(b.sub(1, 2), harray<int>({2, 3}));
    b.removeDuplicates();
    EXPECT_EQ(b + harray<int>({7}), harray<int>({1, 2, 3, 4, 7}));
    int value = b.random();
    EXPECT_TRUE(value >= 1 && value <= 4);
    EXPECT_EQ(harray<hstring>().joined(", "), "");
    EXPECT_EQ(harray<hstring>({"a", "b"}).joined(", "), "a, b");
}

TEST(hlistAndHdeque, sameOperations)
{
    hlist<int> l = {1, 2, 3, 2};
    EXPECT_EQ(l.sub(1, 2), hlist<int>({2, 3}));
    l.remove(2);
    EXPECT_EQ(l, hlist<int>({1, 3, 2}));
    EXPECT_THROW(l.sub(2, 2), quortypes::_container_range_error);
    EXPECT_THROW(l.remove(9), quortypes::_container_element_not_found);

    hdeque<hstring> d = {"x", "y", "z"};
    EXPECT_EQ(d.joined("+"), "x+y+z");
    EXPECT_EQ(d.removeAt(1), "y");
    EXPECT_THROW(d.at(2), quortypes::_container_index_error);
}

TEST(hdict, operations)
{
    hdict<int> d;
    d["b"] = 1;
    d["a"] = 2;
    d["ab"] = 3;
    EXPECT_EQ(d.keys(), harray<hstring>({"a", "ab", "b"}));
    EXPECT_EQ(d.tryGet("q", -1), -1);
    EXPECT_TRUE(d.hasValue(3));
    d.removeKey("ab");
    d.removeKey("missing");
    EXPECT_EQ(d.keys(), harray<hstring>({"a", "b"}));
    // bytes compare unsigned: UTF-8 sorts after ASCII
    d["\xC3\xA9"] = 0;
    EXPECT_EQ(d.keys().back(), "\xC3\xA9");
}
