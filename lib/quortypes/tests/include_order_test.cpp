// The foundation headers include each other; each must work when included
// first. This file starts with the one most likely to break that.
#include <quortypes/exception.h>

#include <gtest/gtest.h>

TEST(headers, exceptionHeaderFirstBringsStringsAndArrays)
{
    harray<hstring> parts = hstring("a:b").split(":");
    quortypes::_container_index_error error(parts.size(), "harray", 1);
    EXPECT_EQ(error.getMessage(), "[harray:1] index '2' out of range");
}
