#pragma once

class hstring;

namespace quortypes
{
    // Standard CRC-32 (as zlib and PNG compute it); size < 1 gives 0.
    unsigned int crc32(const unsigned char* data, int size);

    // The random family draws from a 15-bit generator of its own (values 0 to
    // 32767) whatever the C library's RAND_MAX is.
    // Seeds that generator and the C library's rand() (which scripts use).
    void seedRandom(unsigned int seed);
    // Next value of the generator, 0 to 32767.
    int randomRaw();

    // [0, n); n < 1 gives 0
    int randomInt(int n);
    // [a, b); b <= a gives a
    int randomInt(int a, int b);
    double randomDouble(double x);
    double randomDouble(double a, double b);
    float randomFloat(float x);
    float randomFloat(float a, float b);

    // Halves round up: 2.5 gives 3, -2.5 gives -2. Past either end of int the end; NaN gives 0.
    int roundToInt(float value);
    int roundToInt(double value);
    // Toward zero, as a cast; past either end of int the end, NaN gives 0. A number read from a data file
    // or a script may be anything a float holds, which no cast to int may be handed.
    int truncateToInt(double value);
    float roundFloat(float value);
    float floorFloat(float value);
    // Never negative: modPositive(-1, 360) is 359.
    float modPositive(float value, float m);
    // |a - b| < tolerance, strictly
    bool equalsApprox(float a, float b, float tolerance);
    bool equalsApprox(double a, double b, double tolerance);
    int absInt(int value);
    float absFloat(float value);
    float sqrtFloat(float value);

    // "" when the variable is not set
    hstring getEnvironmentVariable(const hstring& name);
} // namespace quortypes

#include <quortypes/hstring.h>
