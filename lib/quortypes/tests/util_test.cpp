#include <gtest/gtest.h>

#include <quortypes/hstring.h>
#include <quortypes/util.h>

#include <cstdlib>
#include <random>
#include <vector>

#include <zlib.h>

TEST(crc32, matchesZlib)
{
    EXPECT_EQ(quortypes::crc32((const unsigned char*)"abc", 3), 0x352441C2u);
    EXPECT_EQ(quortypes::crc32((const unsigned char*)"abc", 0), 0u);
    EXPECT_EQ(quortypes::crc32((const unsigned char*)"abc", -1), 0u);
    std::mt19937 engine(1234);
    for (int size : {1, 2, 7, 64, 1000, 65537})
    {
        std::vector<unsigned char> data(size);
        for (unsigned char& b : data)
        {
            b = (unsigned char)engine();
        }
        EXPECT_EQ(quortypes::crc32(data.data(), size), (unsigned int)::crc32(0L, data.data(), size)) << size;
    }
}

TEST(random, rangesAndLimits)
{
    // Same seed, same draws: the result is exactly raw * n / 32768, for small and
    // for large n, and never leaves [0, n).
    for (int n : {2, 100, 65537, 65538, 1000000, 0x7FFFFFFF})
    {
        quortypes::seedRandom(7);
        std::vector<int> raws;
        for (int i = 0; i < 2000; ++i)
        {
            raws.push_back(quortypes::randomRaw());
        }
        quortypes::seedRandom(7);
        for (int i = 0; i < 2000; ++i)
        {
            int value = quortypes::randomInt(n);
            ASSERT_EQ(value, (int)((long long)raws[i] * n / 32768)) << n;
            ASSERT_TRUE(value >= 0 && value < n) << n;
        }
    }
    quortypes::seedRandom(3);
    for (int i = 0; i < 2000; ++i)
    {
        int value = quortypes::randomInt(-2000000000, 2000000000);
        ASSERT_TRUE(value >= -2000000000 && value < 2000000000);
        float f = quortypes::randomFloat(-1.0f, 1.0f);
        ASSERT_TRUE(f >= -1.0f && f < 1.0f);
    }
    EXPECT_EQ(quortypes::randomInt(-5), 0);
    EXPECT_EQ(quortypes::randomInt(5, 1), 5);
    EXPECT_EQ(quortypes::randomDouble(-1.0), 0.0);
    EXPECT_EQ(quortypes::randomFloat(2.0f, 2.0f), 2.0f);
}

TEST(random, seedingAlsoSeedsTheCLibrary)
{
    quortypes::seedRandom(42);
    int first = rand();
    int ours = quortypes::randomRaw();
    quortypes::seedRandom(42);
    EXPECT_EQ(rand(), first);
    EXPECT_EQ(quortypes::randomRaw(), ours);
}

TEST(rounding, conventions)
{
    EXPECT_EQ(quortypes::roundToInt(2.5f), 3);
    EXPECT_EQ(quortypes::roundToInt(-2.5f), -2);
    EXPECT_EQ(quortypes::roundToInt(-0.5f), 0);
    EXPECT_EQ(quortypes::roundToInt(1.5), 2);
    EXPECT_EQ(quortypes::roundFloat(-1.5f), -1.0f);
    EXPECT_EQ(quortypes::floorFloat(-1.5f), -2.0f);
    EXPECT_EQ(quortypes::modPositive(-1.0f, 360.0f), 359.0f);
    EXPECT_EQ(quortypes::modPositive(-360.0f, 360.0f), 0.0f);
    EXPECT_EQ(quortypes::modPositive(-0.25f, 1.0f), 0.75f);
    EXPECT_FALSE(quortypes::equalsApprox(1.0, 1.1, 0.1));
    EXPECT_FALSE(quortypes::equalsApprox(1.0f, 1.5f, 0.5f));
    EXPECT_TRUE(quortypes::equalsApprox(1.0f, 1.4f, 0.5f));
}

TEST(environment, variables)
{
    setenv("VUMO_TEST_VARIABLE", "w\xC3\xA9rt", 1);
    EXPECT_EQ(quortypes::getEnvironmentVariable("VUMO_TEST_VARIABLE"), "w\xC3\xA9rt");
    unsetenv("VUMO_TEST_VARIABLE");
    EXPECT_EQ(quortypes::getEnvironmentVariable("VUMO_TEST_VARIABLE"), "");
}
