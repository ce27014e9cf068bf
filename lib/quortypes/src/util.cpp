#include <atomic>
#include <cmath>
#include <cstdlib>

#include <quortypes/hstring.h>
#include <quortypes/util.h>

namespace quortypes
{
    // A linear congruential generator whose bits 16..30 give 15-bit values, so
    // every formula below sees numbers from 0 to 32767.
    static std::atomic<unsigned int> randomState(1);

    void seedRandom(unsigned int seed)
    {
        randomState.store(seed);
        srand(seed);
    }

    int randomRaw()
    {
        unsigned int state = randomState.load(std::memory_order_relaxed);
        unsigned int next;
        do
        {
            next = state * 214013u + 2531011u;
        } while (!randomState.compare_exchange_weak(state, next, std::memory_order_relaxed));
        return (int)((next >> 16) & 0x7FFF);
    }

    // The products are taken in 64 bits: rand * n overflows 32 bits once n
    // reaches 65538.
    int randomInt(int n)
    {
        if (n < 1)
        {
            return 0;
        }
        return (int)((long long)randomRaw() * n / 32768);
    }

    int randomInt(int a, int b)
    {
        if (b <= a)
        {
            return a;
        }
        return (int)(a + (long long)randomRaw() * ((long long)b - a) / 32768);
    }

    double randomDouble(double x)
    {
        return randomDouble(0.0, x);
    }

    // 3.0517578125e-5 is 1 / 32768, exact in float and in double.
    template <typename T> static T randomBetween(T a, T b)
    {
        if (b <= a)
        {
            return a;
        }
        return a + randomRaw() * (b - a) * (T)3.0517578125e-5;
    }

    double randomDouble(double a, double b)
    {
        return randomBetween(a, b);
    }

    float randomFloat(float x)
    {
        return randomFloat(0.0f, x);
    }

    float randomFloat(float a, float b)
    {
        return randomBetween(a, b);
    }

    int roundToInt(float value)
    {
        return truncateToInt(floor((double)value + 0.5));
    }

    int roundToInt(double value)
    {
        return truncateToInt(floor(value + 0.5));
    }

    int truncateToInt(double value)
    {
        if (std::isnan(value))
        {
            return 0;
        }
        if (value <= -2147483648.0)
        {
            return -2147483647 - 1;
        }
        return (value >= 2147483647.0 ? 2147483647 : (int)value);
    }

    float roundFloat(float value)
    {
        return (float)floor((double)value + 0.5);
    }

    float floorFloat(float value)
    {
        return floorf(value);
    }

    float modPositive(float value, float m)
    {
        if (value >= 0.0f)
        {
            return fmodf(value, m);
        }
        return fmodf(m - fmodf(-value, m), m);
    }

    bool equalsApprox(float a, float b, float tolerance)
    {
        return fabsf(a - b) < tolerance;
    }

    bool equalsApprox(double a, double b, double tolerance)
    {
        return fabs(a - b) < tolerance;
    }

    int absInt(int value)
    {
        return abs(value);
    }

    float absFloat(float value)
    {
        return fabsf(value);
    }

    float sqrtFloat(float value)
    {
        return sqrtf(value);
    }

    hstring getEnvironmentVariable(const hstring& name)
    {
        const char* value = getenv(name.c_str());
        return hstring(value);
    }
} // namespace quortypes
