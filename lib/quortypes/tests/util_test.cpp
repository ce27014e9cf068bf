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
    quortypes::seedRandom(99);
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 200000; ++i)
    {
        int raw = quortypes::randomRaw();
        ASSERT_GE(raw, 0);
        ASSERT_LE(raw, 32767);
        sawLow = sawLow || raw < 64;
        sawHigh = sawHigh || raw > 32767 - 64;
    }
    EXPECT_TRUE(sawLow && sawHigh);
    for (int i = 0; i < 1000; ++i)
    {
        EXPECT_EQ(quortypes::randomInt(1), 0);
        int v = quortypes::randomInt(10);
        EXPECT_TRUE(v >= 0 && v < 10);
        int w = quortypes::randomInt(-3, 4);
        EXPECT_TRUE(w >= -3 && w < 4);
        double d = quortypes::randomDouble(2.0);
        EXPECT_TRUE(d >= 0.0 && d < 2.0);
        float f = quortypes::randomFloat(-1.0f, 1.0f);
        EXPECT_TRUE(f >= -1.0f && f < 1.0f);
    }
    EXPECT_EQ(quortypes::randomInt(0), 0);
    EXPECT_EQ(quortypes::randomInt(-5), 0);
    EXPECT_EQ(quortypes::randomInt(3, 3), 3);
    EXPECT_EQ(quortypes::randomInt(5, 1), 5);
    EXPECT_EQ(quortypes::randomDouble(-1.0), 0.0);
    EXPECT_EQ(quortypes::randomFloat(2.0f, 2.0f), 2.0f);
}

TEST(random, largeRangesDoNotOverflow)
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
    }
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
    EXPECT_EQ(quortypes::roundToInt(0.49f), 0);
    EXPECT_EQ(quortypes::roundToInt(1.5), 2);
    EXPECT_EQ(quortypes::roundFloat(-1.5f), -1.0f);
    EXPECT_EQ(quortypes::floorFloat(-1.5f), -2.0f);
    EXPECT_EQ(quortypes::modPositive(-1.0f, 360.0f), 359.0f);
    EXPECT_EQ(quortypes::modPositive(725.0f, 360.0f), 5.0f);
    EXPECT_EQ(quortypes::modPositive(-360.0f, 360.0f), 0.0f);
    EXPECT_EQ(quortypes::modPositive(-0.25f, 1.0f), 0.75f);
    EXPECT_FALSE(quortypes::equalsApprox(1.0, 1.1, 0.1));
    EXPECT_FALSE(quortypes::equalsApprox(1.0f, 1.5f, 0.5f));
    EXPECT_TRUE(quortypes::equalsApprox(1.0f, 1.4f, 0.5f));
    EXPECT_EQ(quortypes::absInt(-3), 3);
    EXPECT_EQ(quortypes::absFloat(-3.5f), 3.5f);
    EXPECT_EQ(quortypes::sqrtFloat(9.0f), 3.0f);
}

TEST(environment, variables)
{
    setenv("VUMO_TEST_VARIABLE", "w\xC3\xA9rt", 1);
    EXPECT_EQ(quortypes::getEnvironmentVariable("VUMO_TEST_VARIABLE"), "w\xC3\xA9rt");
    unsetenv("VUMO_TEST_VARIABLE");
    EXPECT_EQ(quortypes::getEnvironmentVariable("VUMO_TEST_VARIABLE"), "");
}
