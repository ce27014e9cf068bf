#include <gtest/gtest.h>

#include <quortypes/hstring.h>
#include <quortypes/util.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include <zlib.h>

TEST(crc32, matchesZlib)
{
    EXPECT_EQ(quortypes::crc32((const unsigned char*)"abc", 3), 0x352441C2u);
    EXPECT_EQ(quortypes::crc32((const unsigned char*)"abc", 0), 0u);
    std::mt19937 engine(1234);
    for (int size : {1, 7, 1000, 65537})
    {
        std::vector<unsigned char> data(size);
        for (unsigned char& b : data)
        {
            b = (unsigned char)engine();
        }
        EXPECT_EQ(quortypes::crc32(data.data(), size), (unsigned int)::crc32(0L, data.data(), size)) << size;
    }
    // Long inputs take another path: every length around its block sizes, at every alignment, and runs of
    // bytes that are all zero or all ones.
    std::vector<unsigned char> data(5000);
    for (unsigned char& b : data)
    {
        b = (unsigned char)engine();
    }
    for (int offset = 0; offset < 16; ++offset)
    {
        for (int size = 200; size < 400; ++size)
        {
            const unsigned char* at = data.data() + offset;
            ASSERT_EQ(quortypes::crc32(at, size), (unsigned int)::crc32(0L, at, size))
                << offset << " " << size;
        }
        for (int size : {1024, 1024 + 15, 4096 + 63, 4980})
        {
            const unsigned char* at = data.data() + offset;
            ASSERT_EQ(quortypes::crc32(at, size), (unsigned int)::crc32(0L, at, size))
                << offset << " " << size;
        }
    }
    for (unsigned char fill : {0x00, 0xFF})
    {
        std::vector<unsigned char> same(3000, fill);
        EXPECT_EQ(quortypes::crc32(same.data(), 3000), (unsigned int)::crc32(0L, same.data(), 3000)) << fill;
    }
}

TEST(random, rangesAndLimits)
{
    // Same seed, same draws: the result is exactly raw * n / 32768, for small n and for the large ones
    // whose product overflows 32 bits, and never leaves [0, n).
    for (int n : {100, 65538, 0x7FFFFFFF})
    {
        quortypes::seedRandom(7);
        std::vector<int> raws;
        for (int i = 0; i < 500; ++i)
        {
            raws.push_back(quortypes::randomRaw());
        }
        quortypes::seedRandom(7);
        for (int i = 0; i < 500; ++i)
        {
            int value = quortypes::randomInt(n);
            ASSERT_EQ(value, (int)((long long)raws[i] * n / 32768)) << n;
            ASSERT_TRUE(value >= 0 && value < n) << n;
        }
    }
    for (int i = 0; i < 500; ++i)
    {
        int value = quortypes::randomInt(-2000000000, 2000000000);
        ASSERT_TRUE(value >= -2000000000 && value < 2000000000);
    }
    EXPECT_EQ(quortypes::randomInt(-5), 0);
    EXPECT_EQ(quortypes::randomInt(5, 1), 5);
    EXPECT_EQ(quortypes::randomDouble(-1.0), 0.0);

    // Seeding also seeds the C library's generator, which scripts use.
    quortypes::seedRandom(42);
    int first = rand();
    quortypes::seedRandom(42);
    EXPECT_EQ(rand(), first);
}

TEST(rounding, conventions)
{
    EXPECT_EQ(quortypes::roundToInt(2.5f), 3);
    EXPECT_EQ(quortypes::roundToInt(-2.5f), -2);
    EXPECT_EQ(quortypes::roundToInt(-0.5f), 0);
    EXPECT_EQ(quortypes::roundFloat(-1.5f), -1.0f);
    EXPECT_EQ(quortypes::modPositive(-1.0f, 360.0f), 359.0f);
    EXPECT_EQ(quortypes::modPositive(-360.0f, 360.0f), 0.0f);
    EXPECT_FALSE(quortypes::equalsApprox(1.0, 1.1, 0.1));
    EXPECT_FALSE(quortypes::equalsApprox(1.0f, 1.5f, 0.5f));
    EXPECT_TRUE(quortypes::equalsApprox(1.0f, 1.4f, 0.5f));
}

// Numbers from data files and scripts reach these; a plain cast of any of the far ones aborts under the
// sanitizer and is undefined without it.
TEST(rounding, farNumbersStopAtTheEndsOfInt)
{
    const struct
    {
        double value;
        int truncated;
        int rounded;
    } rows[] = {
        {2.7, 2, 3},
        {-2.7, -2, -3},
        {2147483646.6, 2147483646, 2147483647},
        {2147483647.0, 2147483647, 2147483647},
        {3e38, 2147483647, 2147483647},
        {HUGE_VAL, 2147483647, 2147483647},
        {-2147483648.0, -2147483647 - 1, -2147483647 - 1},
        {-2147483649.0, -2147483647 - 1, -2147483647 - 1},
        {-HUGE_VAL, -2147483647 - 1, -2147483647 - 1},
        {NAN, 0, 0},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(quortypes::truncateToInt(row.value), row.truncated) << row.value;
        EXPECT_EQ(quortypes::roundToInt(row.value), row.rounded) << row.value;
    }
    EXPECT_EQ(quortypes::roundToInt(3e38f), 2147483647);
    EXPECT_EQ(quortypes::roundToInt(-INFINITY), -2147483647 - 1);
    EXPECT_EQ(quortypes::roundToInt(NAN), 0);
}
