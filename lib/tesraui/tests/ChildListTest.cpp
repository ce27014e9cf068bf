#include <algorithm>
#include <cstdint>
#include <vector>

#include <tesraui/ChildList.h>

#include "UiTestSupport.h"

using tesraui::ChildList;
using tesraui::Object;

namespace
{
    // The list never looks at its objects: numbers stand in for them.
    Object* fake(uintptr_t number)
    {
        return reinterpret_cast<Object*>(number * 16);
    }
} // namespace

// Every way in and out, at the front, the back and between, in a long random run, gives what a plain array
// gives; removals from the front leave room that insertions near the front take up again.
TEST(ChildList, EveryInsertionAndRemovalMatchesAPlainArray)
{
    ChildList list;
    std::vector<Object*> reference;
    uint32_t seed = 99;
    const auto next = [&seed](uint32_t range)
    {
        seed = seed * 1664525u + 1013904223u;
        return range == 0 ? 0u : (seed >> 8) % range;
    };
    uintptr_t made = 1;
    for (int step = 0; step < 20000; ++step)
    {
        const uint32_t what = next(100);
        const uint32_t size = (uint32_t)reference.size();
        if (what < 30)
        {
            list.push_back(fake(made));
            reference.push_back(fake(made++));
        }
        else if (what < 45)
        {
            const uint32_t at = next(size + 1);
            list.insert(list.begin() + at, fake(made));
            reference.insert(reference.begin() + at, fake(made++));
        }
        else if (what < 60 && size > 0)
        {
            EXPECT_TRUE(list.remove(reference.front()));
            reference.erase(reference.begin());
        }
        else if (what < 70 && size > 0)
        {
            EXPECT_TRUE(list.remove(reference.back()));
            reference.pop_back();
        }
        else if (what < 97 && size > 0)
        {
            const uint32_t at = next(size);
            EXPECT_TRUE(list.remove(reference[at]));
            reference.erase(reference.begin() + at);
        }
        else if (what < 98)
        {
            EXPECT_FALSE(list.remove(fake(made + 1000000)));
        }
        else if (what < 99 && size > 0)
        {
            const uint32_t from = next(size);
            const uint32_t to = from + next(size - from + 1);
            list.erase(list.begin() + from, list.begin() + to);
            reference.erase(reference.begin() + from, reference.begin() + to);
        }
        else if (next(20) == 0)
        {
            list.clear();
            reference.clear();
        }
        ASSERT_EQ(list.size(), (int)reference.size()) << "step " << step;
        ASSERT_TRUE(std::equal(list.begin(), list.end(), reference.begin(), reference.end()))
            << "step " << step;
    }
    EXPECT_EQ(list, harray<Object*>(reference.begin(), reference.end()));
}
