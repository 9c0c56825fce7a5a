#include "platform/sha256.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define NOMERRA_SHA_X86 1
#endif

namespace platform {

namespace {

using State = std::array<std::uint32_t, 8>;
using Compress = void (*)(State&, const unsigned char*, std::size_t blocks);

alignas(16) constexpr std::uint32_t roundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr State initialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t bigEndian32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void compressPortable(State& state, const unsigned char* data, std::size_t blocks)
{
    for (; blocks--; data += 64) {
        std::uint32_t w[64];
        for (int t = 0; t < 16; ++t)
            w[t] = bigEndian32(data + 4 * t);
        for (int t = 16; t < 64; ++t) {
            const std::uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            const std::uint32_t t1 =
                h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + roundConstants[t] + w[t];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a, state[1] += b, state[2] += c, state[3] += d;
        state[4] += e, state[5] += f, state[6] += g, state[7] += h;
    }
}

#ifdef NOMERRA_SHA_X86

// The state travels in the two registers the instructions take: ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void compressSha(State& state, const unsigned char* data,
                                                             std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks--; data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
        // Four rounds a group; each group's words make those of the group four later.
        for (int group = 0; group < 16; ++group) {
            __m128i words = _mm_add_epi32(
                w[group & 3], _mm_load_si128(reinterpret_cast<const __m128i*>(&roundConstants[4 * group])));
            // Two rounds make the new ABEF of the old CDGH; after two more the old ABEF is CDGH.
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
            words = _mm_shuffle_epi32(words, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
            if (group < 12) {
                const __m128i w1 = w[(group + 1) & 3], w2 = w[(group + 2) & 3], w3 = w[(group + 3) & 3];
                const __m128i partial =
                    _mm_add_epi32(_mm_sha256msg1_epu32(w[group & 3], w1), _mm_alignr_epi8(w3, w2, 4));
                w[group & 3] = _mm_sha256msg2_epu32(partial, w3);
            }
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

bool detectShaInstructions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return ssse3 && sse41 && (b & (1u << 29));
}

#endif

Compress compressFor(Sha256Engine engine)
{
#ifdef NOMERRA_SHA_X86
    if (engine == Sha256Engine::Fastest && hasShaInstructions())
        return compressSha;
#endif
    (void)engine;
    return compressPortable;
}

}  // namespace

bool hasShaInstructions()
{
#ifdef NOMERRA_SHA_X86
    static const bool has = detectShaInstructions();
    return has;
#else
    return false;
#endif
}

std::string sha256Hex(std::string_view bytes, Sha256Engine engine)
{
    const Compress compress = compressFor(engine);
    State state = initialState;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t whole = bytes.size() / 64;
    compress(state, data, whole);

    // The rest, the 0x80 byte, zeros and the length in bits: one block or two.
    unsigned char tail[128] = {};
    const std::size_t rest = bytes.size() % 64;
    if (rest)
        std::memcpy(tail, data + whole * 64, rest);
    tail[rest] = 0x80;
    const std::size_t tailBlocks = rest < 56 ? 1 : 2;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailBlocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    compress(state, tail, tailBlocks);

    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(64);
    for (std::uint32_t word : state)
        for (int shift = 28; shift >= 0; shift -= 4)
            out += hex[(word >> shift) & 0xF];
    return out;
}

}  // namespace platform
