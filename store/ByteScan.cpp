#include "store/ByteScan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define JOTTEREL_SIXTEEN_AT_ONCE 1
#endif

// Thirty-two bytes at once where the processor has AVX2 (and so counts bits in one instruction),
// as asked at run time. Not on Windows, where GCC does not align the stack for the 32-byte values
// it may keep there.
#if defined(JOTTEREL_SIXTEEN_AT_ONCE) && defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define JOTTEREL_THIRTY_TWO_AT_ONCE 1
#endif

namespace byteScan {
namespace {

// Plain loops, written without branches so that the compiler can compare many bytes at once.

// Bit j set for each of the 64 flags (bytes of 0 or 1) from flags on that is 1.
std::uint64_t flagMask(const unsigned char* flags) {
    std::uint64_t mask = 0;
    for (std::size_t word = 0; word < 64; word += 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, flags + word, 8);
        if constexpr (std::endian::native == std::endian::little) {
            // Gathers the low bit of each byte into the top byte of the product.
            mask |= ((bytes * 0x0102040810204080ULL) >> 56) << word;
        } else {
            for (std::size_t j = 0; j < 8; ++j) {
                mask |= static_cast<std::uint64_t>(flags[word + j]) << (word + j);
            }
        }
    }
    return mask;
}

std::size_t nextCandidatesOne(const unsigned char* p, std::size_t from, std::size_t to, const Sieve& sieve,
                              std::uint64_t& mask) {
    const auto outside = static_cast<unsigned char>(~sieve.spread);
    for (; from + 64 <= to; from += 64) {
        const unsigned char* x = p + from + sieve.offsets[0];
        const unsigned char* y = p + from + sieve.offsets[1];
        const unsigned char* z = p + from + sieve.offsets[2];
        unsigned char candidate[64];
        unsigned char any = 0;
        for (std::size_t j = 0; j < 64; ++j) {
            const auto held = static_cast<unsigned char>((static_cast<unsigned char>(x[j] - sieve.lowest[0]) |
                                                          static_cast<unsigned char>(y[j] - sieve.lowest[1]) |
                                                          static_cast<unsigned char>(z[j] - sieve.lowest[2])) &
                                                         outside);
            candidate[j] = static_cast<unsigned char>(held == 0);
            any |= candidate[j];
        }
        if (any) {
            mask = flagMask(candidate);
            return from;
        }
    }
    mask = 0;
    return from;
}

std::size_t countStartsOne(const unsigned char* p, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    while (from < to) {
        // A run of 480 places holds at most 240 starts, and 480 is a whole number of vectors.
        const std::size_t run = std::min<std::size_t>(to - from, 480);
        const unsigned char* q = p + from;
        const unsigned char* before = q - 1;
        unsigned char starts = 0;
        for (std::size_t i = 0; i < run; ++i) {
            starts += static_cast<unsigned char>((q[i] != '\r') & (q[i] != '\n') &
                                                 ((before[i] == '\r') | (before[i] == '\n')));
        }
        count += starts;
        from += run;
    }
    return count;
}

const Loops kOne{nextCandidatesOne, countStartsOne};

#ifdef JOTTEREL_SIXTEEN_AT_ONCE

__m128i sixteen(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__m128i lineEnds16(__m128i bytes) {
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
}

// Bit i set for each of the sixteen bytes that lies below the key, given the key less one.
unsigned belowKey16(__m128i bytes, __m128i keyLessOne) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(bytes, keyLessOne), bytes)));
}

std::size_t nextCandidatesSixteen(const unsigned char* p, std::size_t from, std::size_t to, const Sieve& sieve,
                                  std::uint64_t& mask) {
    const __m128i lowest0 = _mm_set1_epi8(static_cast<char>(sieve.lowest[0]));
    const __m128i lowest1 = _mm_set1_epi8(static_cast<char>(sieve.lowest[1]));
    const __m128i lowest2 = _mm_set1_epi8(static_cast<char>(sieve.lowest[2]));
    const __m128i spread = _mm_set1_epi8(static_cast<char>(sieve.spread));
    const std::size_t o0 = sieve.offsets[0], o1 = sieve.offsets[1], o2 = sieve.offsets[2];
    for (; from + 64 <= to; from += 64) {
        std::uint64_t found = 0;
        for (std::size_t part = 0; part < 64; part += 16) {
            const unsigned char* at = p + from + part;
            const __m128i held = _mm_or_si128(
                _mm_or_si128(_mm_sub_epi8(sixteen(at + o0), lowest0), _mm_sub_epi8(sixteen(at + o1), lowest1)),
                _mm_sub_epi8(sixteen(at + o2), lowest2));
            const __m128i candidate = _mm_cmpeq_epi8(_mm_andnot_si128(spread, held), _mm_setzero_si128());
            found |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(candidate))) << part;
        }
        if (found != 0) {
            mask = found;
            return from;
        }
    }
    mask = 0;
    return from;
}

// The few places at the end of a range that a whole vector does not cover, one at a time.
std::size_t countStartsByByte(const unsigned char* p, std::size_t from, std::size_t to) {
    const auto isLineEnd = [](unsigned char c) { return (c == '\r') | (c == '\n'); };
    std::size_t count = 0;
    for (; from < to; ++from) {
        count += static_cast<std::size_t>(isLineEnd(p[from - 1]) && !isLineEnd(p[from]));
    }
    return count;
}

std::size_t countStartsSixteen(const unsigned char* p, std::size_t from, std::size_t to) {
    if (to - from < 16) {
        return countStartsByByte(p, from, to);
    }
    std::size_t count = 0;
    // Each lane of sum counts the starts at its place, 255 rounds at most before it would wrap.
    while (to - from >= 16) {
        const std::size_t rounds = std::min<std::size_t>((to - from) / 16, 255);
        __m128i sum = _mm_setzero_si128();
        for (std::size_t r = 0; r < rounds; ++r, from += 16) {
            sum = _mm_sub_epi8(sum, _mm_andnot_si128(lineEnds16(sixteen(p + from)), lineEnds16(sixteen(p + from - 1))));
        }
        const __m128i total = _mm_sad_epu8(sum, _mm_setzero_si128());
        count +=
            static_cast<std::size_t>(_mm_cvtsi128_si32(total)) + static_cast<std::size_t>(_mm_extract_epi16(total, 4));
    }
    if (from < to) {
        // The last places, in the sixteen that end at to, without those already counted.
        const auto starts = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_andnot_si128(lineEnds16(sixteen(p + to - 16)), lineEnds16(sixteen(p + to - 17)))));
        count += static_cast<std::size_t>(std::popcount(starts >> (16 - (to - from))));
    }
    return count;
}

const Loops kSixteen{nextCandidatesSixteen, countStartsSixteen};

#endif

#ifdef JOTTEREL_THIRTY_TWO_AT_ONCE

__attribute__((target("avx2"))) inline __m256i thirtyTwo(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) std::size_t nextCandidatesThirtyTwo(const unsigned char* p, std::size_t from,
                                                                    std::size_t to, const Sieve& sieve,
                                                                    std::uint64_t& mask) {
    const __m256i lowest0 = _mm256_set1_epi8(static_cast<char>(sieve.lowest[0]));
    const __m256i lowest1 = _mm256_set1_epi8(static_cast<char>(sieve.lowest[1]));
    const __m256i lowest2 = _mm256_set1_epi8(static_cast<char>(sieve.lowest[2]));
    const __m256i spread = _mm256_set1_epi8(static_cast<char>(sieve.spread));
    const std::size_t o0 = sieve.offsets[0], o1 = sieve.offsets[1], o2 = sieve.offsets[2];
    for (; from + 64 <= to; from += 64) {
        std::uint64_t found = 0;
        for (std::size_t part = 0; part < 64; part += 32) {
            const unsigned char* at = p + from + part;
            const __m256i held = _mm256_or_si256(_mm256_or_si256(_mm256_sub_epi8(thirtyTwo(at + o0), lowest0),
                                                                 _mm256_sub_epi8(thirtyTwo(at + o1), lowest1)),
                                                 _mm256_sub_epi8(thirtyTwo(at + o2), lowest2));
            const __m256i candidate = _mm256_cmpeq_epi8(_mm256_andnot_si256(spread, held), _mm256_setzero_si256());
            found |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(candidate))) << part;
        }
        if (found != 0) {
            mask = found;
            return from;
        }
    }
    mask = 0;
    return from;
}

// 0xFF at each of the 32 places from at on where an entry starts.
__attribute__((target("avx2"))) inline __m256i startsThirtyTwo(const unsigned char* at) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i here = thirtyTwo(at);
    const __m256i before = thirtyTwo(at - 1);
    return _mm256_andnot_si256(_mm256_or_si256(_mm256_cmpeq_epi8(here, cr), _mm256_cmpeq_epi8(here, lf)),
                               _mm256_or_si256(_mm256_cmpeq_epi8(before, cr), _mm256_cmpeq_epi8(before, lf)));
}

__attribute__((target("avx2,popcnt"))) std::size_t countStartsThirtyTwo(const unsigned char* p, std::size_t from,
                                                                        std::size_t to) {
    if (to - from < 32) {
        return countStartsSixteen(p, from, to);
    }
    std::size_t count = 0;
    while (to - from >= 32) {
        const std::size_t rounds = std::min<std::size_t>((to - from) / 32, 255);
        __m256i sum = _mm256_setzero_si256();
        for (std::size_t r = 0; r < rounds; ++r, from += 32) {
            sum = _mm256_sub_epi8(sum, startsThirtyTwo(p + from));
        }
        const __m256i total = _mm256_sad_epu8(sum, _mm256_setzero_si256());
        count += static_cast<std::size_t>(_mm256_extract_epi64(total, 0) + _mm256_extract_epi64(total, 1) +
                                          _mm256_extract_epi64(total, 2) + _mm256_extract_epi64(total, 3));
    }
    if (from < to) {
        // The last places, in the thirty-two that end at to, without those already counted.
        const auto last = static_cast<unsigned>(_mm256_movemask_epi8(startsThirtyTwo(p + to - 32)));
        count += static_cast<std::size_t>(std::popcount(last >> (32 - (to - from))));
    }
    return count;
}

const Loops kThirtyTwo{nextCandidatesThirtyTwo, countStartsThirtyTwo};

bool hasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
    }();
    return has;
}

#endif

} // namespace

Lowered lower(const unsigned char* from, unsigned char* to, std::size_t n, unsigned char shift) {
#ifdef JOTTEREL_SIXTEEN_AT_ONCE
    if (n >= 16) {
        const __m128i by = _mm_set1_epi8(static_cast<char>(shift));
        const __m128i shiftLessOne = _mm_set1_epi8(static_cast<char>(shift - 1));
        const __m128i ampersand = _mm_set1_epi8('&');
        __m128i below = _mm_setzero_si128();
        __m128i flags = _mm_setzero_si128();
        const auto step = [&](std::size_t i) {
            const __m128i stored = sixteen(from + i);
            below = _mm_or_si128(below, _mm_cmpeq_epi8(_mm_min_epu8(stored, shiftLessOne), stored));
            const __m128i lowered = _mm_sub_epi8(stored, by);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), lowered);
            flags = _mm_or_si128(flags, _mm_or_si128(lowered, _mm_cmpeq_epi8(lowered, ampersand)));
        };
        std::size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            step(i);
        }
        if (i < n) {
            // The last sixteen again, ending at n: from and to lie apart, so what was written stays.
            step(n - 16);
        }
        return {_mm_movemask_epi8(below) == 0, _mm_movemask_epi8(flags) != 0};
    }
#endif
    unsigned char lowest = 0xFF;
    unsigned char flags = 0; // bit 7: beyond ASCII or "&"
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = from[i];
        const auto c = static_cast<unsigned char>(b - shift);
        to[i] = c;
        lowest = b < lowest ? b : lowest;
        flags |= static_cast<unsigned char>(c | ((c == '&') << 7));
    }
    return {n == 0 || lowest >= shift, (flags & 0x80) != 0};
}

std::size_t runBegin(const unsigned char* p, std::size_t s, unsigned char key) {
    std::size_t begin = s;
#ifdef JOTTEREL_SIXTEEN_AT_ONCE
    const __m128i keyLessOne = _mm_set1_epi8(static_cast<char>(key - 1));
    for (; begin >= 16; begin -= 16) {
        if (const unsigned below = belowKey16(sixteen(p + begin - 16), keyLessOne)) {
            return begin - 16 + static_cast<std::size_t>(std::bit_width(below));
        }
    }
#endif
    while (begin > 0 && p[begin - 1] >= key) {
        --begin;
    }
    return begin;
}

std::size_t runEnd(const unsigned char* p, std::size_t n, std::size_t s, unsigned char key) {
    std::size_t end = s;
#ifdef JOTTEREL_SIXTEEN_AT_ONCE
    const __m128i keyLessOne = _mm_set1_epi8(static_cast<char>(key - 1));
    for (; end + 16 <= n; end += 16) {
        if (const unsigned below = belowKey16(sixteen(p + end), keyLessOne)) {
            return end + static_cast<std::size_t>(std::countr_zero(below));
        }
    }
#endif
    while (end < n && p[end] >= key) {
        ++end;
    }
    return end;
}

const Loops& loops(Width width) {
    switch (width) {
    case Width::Widest:
#ifdef JOTTEREL_THIRTY_TWO_AT_ONCE
        if (hasAvx2()) {
            return kThirtyTwo;
        }
#endif
        [[fallthrough]];
    case Width::Sixteen:
#ifdef JOTTEREL_SIXTEEN_AT_ONCE
        return kSixteen;
#endif
        [[fallthrough]];
    case Width::One:
        break;
    }
    return kOne;
}

} // namespace byteScan
