#include <zlib.h>

#include <quortypes/util.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUORTYPES_CRC32_FOLDING 1
#endif

namespace quortypes
{
#ifdef QUORTYPES_CRC32_FOLDING
    namespace
    {
        // Carry-less multiplication folds 64 bytes a step, several times the speed of zlib's tables; what
        // is left after the folding (16 bytes and the tail) goes through zlib, which gives the same CRC
        // for any split. The constants are x^(k) mod P for the reflected polynomial 0xEDB88320 at the
        // fold distances of 512+32/512-32 and 128+32/128-32 bits.
        __attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i value, __m128i constants,
                                                                     __m128i next)
        {
            const __m128i low = _mm_clmulepi64_si128(value, constants, 0x00);
            const __m128i high = _mm_clmulepi64_si128(value, constants, 0x11);
            return _mm_xor_si128(_mm_xor_si128(low, high), next);
        }

        __attribute__((target("pclmul,sse4.1"))) inline __m128i load(const unsigned char* at)
        {
            return _mm_loadu_si128((const __m128i*)at);
        }

        __attribute__((target("pclmul,sse4.1"))) unsigned int crc32Folded(const unsigned char* data,
                                                                          size_t size)
        {
            const __m128i fold512 = _mm_set_epi64x(0x1c6e41596LL, 0x154442bd4LL);
            const __m128i fold128 = _mm_set_epi64x(0x0ccaa009eLL, 0x1751997d0LL);
            // zlib's starting value, inverted, taken into the first four bytes.
            __m128i x0 = _mm_xor_si128(load(data), _mm_cvtsi32_si128((int)0xFFFFFFFF));
            __m128i x1 = load(data + 16);
            __m128i x2 = load(data + 32);
            __m128i x3 = load(data + 48);
            data += 64;
            size -= 64;
            while (size >= 64)
            {
                x0 = fold(x0, fold512, load(data));
                x1 = fold(x1, fold512, load(data + 16));
                x2 = fold(x2, fold512, load(data + 32));
                x3 = fold(x3, fold512, load(data + 48));
                data += 64;
                size -= 64;
            }
            x0 = fold(x0, fold128, x1);
            x0 = fold(x0, fold128, x2);
            x0 = fold(x0, fold128, x3);
            while (size >= 16)
            {
                x0 = fold(x0, fold128, load(data));
                data += 16;
                size -= 16;
            }
            // The 16 folded bytes stand for everything before them, the inversion included: their CRC,
            // with zlib's own starting value cancelled, is the CRC so far.
            alignas(16) unsigned char rest[16];
            _mm_store_si128((__m128i*)rest, x0);
            unsigned long crc = ::crc32_z(0xFFFFFFFFUL, rest, sizeof(rest));
            return (unsigned int)::crc32_z(crc, data, size);
        }

        bool canFold()
        {
            static const bool supported =
                __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
            return supported;
        }
    } // namespace
#endif

    unsigned int crc32(const unsigned char* data, int size)
    {
        if (data == nullptr || size < 1)
        {
            return 0;
        }
#ifdef QUORTYPES_CRC32_FOLDING
        // Below a few blocks the tables are as quick.
        if (size >= 256 && canFold())
        {
            return crc32Folded(data, (size_t)size);
        }
#endif
        return (unsigned int)::crc32(0L, data, (uInt)size);
    }
} // namespace quortypes
