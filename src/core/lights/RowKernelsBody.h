// The body of one set of row kernels, included once per instruction set by a file that
// names the set first (GLIMMERAGE_ROW_KERNELS). A row's columns count from 0.
//
// Only plain loops and compiler built-ins appear here: every copy is compiled with
// different processor options, and an inline function shared with other files could end
// up, in its widest form, in code that a plainer processor runs.

#include "core/lights/RowKernels.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

#if defined(__GNUC__)
inline double SquareRoot(double value) { return __builtin_sqrt(value); }
inline std::uint32_t BitsOf(float value) { return __builtin_bit_cast(std::uint32_t, value); }
#else
// Other compilers build the baseline set alone, so the standard library's inline functions
// cannot end up in a wider set's form here.
inline double SquareRoot(double value) { return std::sqrt(value); }
inline std::uint32_t BitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }
#endif

// A float in 0..255 to the nearest whole number, ties to even (the processor's rounding).
#if defined(__GNUC__) && !defined(__clang__)
inline std::uint32_t Nearest(float value) { return std::uint32_t(__builtin_irintf(value)); }
#elif defined(__clang__)
inline std::uint32_t Nearest(float value) { return std::uint32_t(std::int32_t(__builtin_rintf(value))); }
#else
inline std::uint32_t Nearest(float value) { return std::uint32_t(std::lrint(value)); }
#endif

// A float whose exponent bits are all set is infinite (or not a number). Adding one to the
// exponent of such a float, with its sign cleared, carries into the top bit and no other
// float's does: that mark gathers with a plain OR, which vector code does cheaply.
inline std::uint32_t NotFiniteMark(float value) {
    return (BitsOf(value) & 0x7FFFFFFFu) + 0x00800000u;
}

constexpr std::uint32_t kNotFinite = 0x80000000u;

#if defined(__GNUC__)
inline float FloatOf(std::uint32_t bits) { return __builtin_bit_cast(float, bits); }
#else
inline float FloatOf(std::uint32_t bits) { return std::bit_cast<float>(bits); }
#endif

// A light buffer value with a weighted gain added, rounded to a float.
inline float SumOf(float value, double scale, double weight) {
    return static_cast<float>(double(value) + scale * weight);
}

// Gathers what the passes need to know of each sum: whether it left the float range, and the
// greatest so far. The greatest is sought on the sums' bits: for floats that are not negative
// the order of their bits as integers is theirs, and any negative one falls below a start that
// is never negative either. Integer maxima vectorize where float ones do not.
inline void Note(float sum, std::uint32_t& marks, std::int32_t& greatest) {
    marks |= NotFiniteMark(sum);
    const auto bits = std::int32_t(BitsOf(sum));
    greatest = bits > greatest ? bits : greatest;
}

// Rows are worked through in blocks of 4-byte values. Before each block the lines 4 KB
// further on are asked for, so that they are on their way while the block is worked out:
// the processor's own prefetching stops at every page, and at the end of a row this reaches
// into the next row of the same plane. Nearer or further measured slower here.
constexpr std::int32_t kBlock = 256;
constexpr std::int32_t kAhead = 1024;
constexpr std::int32_t kValuesPerLine = 16;  // 64-byte cache lines

// ToWrite asks for lines that are about to be written over without being read.
template <bool ToWrite = false, typename Value>
inline void FetchAhead(const Value* block) {
    static_assert(sizeof(Value) == 4);
#if defined(__GNUC__)
    for (std::int32_t l = 0; l < kBlock; l += kValuesPerLine) __builtin_prefetch(block + kAhead + l, ToWrite, 3);
#else
    static_cast<void>(block);
#endif
}

// The picture's row is read and the copy's only written.
inline void FetchPixelsAhead(const std::uint32_t* out, const std::uint32_t* copy, std::int32_t x) {
    FetchAhead(out + x);
    if (copy != nullptr) FetchAhead<true>(copy + x);
}

// Runs work(first, last) over the columns 0..width - 1: whole blocks, each after
// fetch(first), then what is left.
template <typename Fetch, typename Work>
inline void InBlocks(std::int32_t width, Fetch fetch, Work work) {
    std::int32_t x = 0;
    for (; x + kBlock <= width; x += kBlock) {
        fetch(x);
        work(x, x + kBlock - 1);
    }
    work(x, width - 1);
}

float AddLight(const float* __restrict from, float* __restrict to, const double* __restrict weights, double scale,
               std::int32_t width, float m, int* overflow) {
    std::uint32_t marks = 0;
    std::int32_t greatest = std::int32_t(BitsOf(m));
    InBlocks(
        width, [&](std::int32_t x) { FetchAhead(from + x); },
        [&](std::int32_t first, std::int32_t last) {
            for (std::int32_t i = first; i <= last; ++i) {
                const float sum = SumOf(from[i], scale, weights[i]);
                Note(sum, marks, greatest);
                to[i] = sum;
            }
        });
    *overflow |= int((marks & kNotFinite) != 0);
    return FloatOf(std::uint32_t(greatest));
}

// Streamed rows become visible to other threads only after this; once a batch of rows is
// enough, as each call waits for every streamed store still on its way.
void StreamFence() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// A light's position is in canvas pixels counted from 0, while the light buffer numbers its
// columns from 1: column x lies at x + 1, so a light shines brightest one column left of
// where it was placed.
inline double ColumnNumber(std::int32_t x) { return double(x) + 1.0; }

void Weights(double* __restrict weights, double lightX, double dy2, double fogFactor, std::int32_t first,
             std::int32_t last) {
    for (std::int32_t x = first; x <= last; ++x) {
        const double dx = ColumnNumber(x) - lightX;
        const double d = SquareRoot(dx * dx + dy2);
        weights[x] = double(static_cast<float>(1.0 / (d / fogFactor + 10.0)));
    }
}

void PlainWeights(double* __restrict weights, double lightX, double dy2, std::int32_t first, std::int32_t last) {
    for (std::int32_t x = first; x <= last; ++x) {
        const double dx = ColumnNumber(x) - lightX;
        weights[x] = double(static_cast<float>(1.0 / (SquareRoot(dx * dx + dy2) + 10.0)));
    }
}

void Mirror(double* weights, std::int32_t mirrorSum, std::int32_t first, std::int32_t last) {
    for (std::int32_t x = first; x <= last; ++x) weights[x] = weights[mirrorSum - x];
}

void Accumulate(float* __restrict sums, const double* __restrict weights, double colour, std::int32_t width,
                int* overflow) {
    std::uint32_t marks = 0;
    for (std::int32_t x = 0; x < width; ++x) {
        const float sum = SumOf(sums[x], colour, weights[x]);
        marks |= NotFiniteMark(sum);
        sums[x] = sum;
    }
    *overflow |= int((marks & kNotFinite) != 0);
}

// The first light of an empty row: the sum starts from zero, as the buffer would, without
// reading a row of zeros first.
void PlaceLight(float* __restrict sums, const double* __restrict weights, double colour, std::int32_t width,
                int* overflow) {
    std::uint32_t marks = 0;
    for (std::int32_t x = 0; x < width; ++x) {
        const float sum = SumOf(0.0f, colour, weights[x]);
        marks |= NotFiniteMark(sum);
        sums[x] = sum;
    }
    *overflow |= int((marks & kNotFinite) != 0);
}

// Running maxima side by side, one full vector of the processor's, held in a vector type of
// the compiler's own where it has one. The greatest of a set of numbers does not depend on
// the order it is sought in, but the compiler will not reorder a chain of comparisons by
// itself.
#if defined(__AVX512F__)
constexpr int kMaximumLanes = 16;
#elif defined(__AVX__)
constexpr int kMaximumLanes = 8;
#else
constexpr int kMaximumLanes = 4;
#endif

#if defined(__GNUC__)
typedef float MaximumLanes __attribute__((vector_size(kMaximumLanes * sizeof(float))));
#else
struct MaximumLanes {
    float lane[kMaximumLanes];
    float& operator[](int i) { return lane[i]; }
};
#endif

float Maximum(const float* __restrict values, std::int32_t width, float m) {
    MaximumLanes lanes;
    for (int i = 0; i < kMaximumLanes; ++i) lanes[i] = m;
    std::int32_t x = 0;
    for (; x + kMaximumLanes <= width; x += kMaximumLanes) {
#if defined(__GNUC__)
        MaximumLanes next;
        __builtin_memcpy(&next, values + x, sizeof next);
        lanes = next > lanes ? next : lanes;
#else
        for (int i = 0; i < kMaximumLanes; ++i) lanes[i] = values[x + i] > lanes[i] ? values[x + i] : lanes[i];
#endif
    }
    for (; x < width; ++x) m = values[x] > m ? values[x] : m;
    for (int i = 0; i < kMaximumLanes; ++i) m = lanes[i] > m ? lanes[i] : m;
    return m;
}

#if defined(__GNUC__) && defined(__SSE2__)
// One vector of the processor's width, stored past the caches.
#if defined(__AVX512F__)
using StreamLanes = __m512i;
inline void StreamStore(void* at, StreamLanes value) { _mm512_stream_si512(static_cast<StreamLanes*>(at), value); }
#elif defined(__AVX__)
using StreamLanes = __m256i;
inline void StreamStore(void* at, StreamLanes value) { _mm256_stream_si256(static_cast<StreamLanes*>(at), value); }
#else
using StreamLanes = __m128i;
inline void StreamStore(void* at, StreamLanes value) { _mm_stream_si128(static_cast<StreamLanes*>(at), value); }
#endif

// Streaming stores need whole aligned vectors: the first element of a row that can start one.
template <typename T>
std::int32_t StreamStart(const T* to, std::int32_t count) {
    std::int32_t x = 0;
    while (x < count && reinterpret_cast<std::uintptr_t>(to + x) % sizeof(StreamLanes) != 0) ++x;
    return x;
}

// Streams the whole vectors of a row from its aligned element x on, handing each to seen(),
// and returns the element after the last of them; the rest of the row is the caller's.
template <typename T, typename Seen>
std::int32_t StreamWholeVectors(const T* __restrict from, T* __restrict to, std::int32_t x, std::int32_t count,
                                Seen seen) {
    constexpr int kLanes = int(sizeof(StreamLanes) / sizeof(T));
    for (; x + kLanes <= count; x += kLanes) {
        StreamLanes next;
        __builtin_memcpy(&next, from + x, sizeof next);
        StreamStore(to + x, next);
        seen(next);
    }
    return x;
}
#endif

// Copies a row past the caches and finds its greatest value on the way, which saves reading
// the row a second time. Elsewhere than with the compiler's vector types the row is copied
// plainly.
float StreamRow(const float* __restrict from, float* __restrict to, std::int32_t width, float m) {
    std::int32_t x = 0;
    const auto copy = [&](std::int32_t at) {
        to[at] = from[at];
        m = from[at] > m ? from[at] : m;
    };
#if defined(__GNUC__) && defined(__SSE2__)
    static_assert(sizeof(MaximumLanes) == sizeof(StreamLanes));
    for (const std::int32_t start = StreamStart(to, width); x < start; ++x) copy(x);
    MaximumLanes lanes;
    for (int i = 0; i < kMaximumLanes; ++i) lanes[i] = m;
    x = StreamWholeVectors(from, to, x, width, [&](StreamLanes streamed) {
        MaximumLanes next;
        __builtin_memcpy(&next, &streamed, sizeof next);
        lanes = next > lanes ? next : lanes;
    });
    for (int i = 0; i < kMaximumLanes; ++i) m = lanes[i] > m ? lanes[i] : m;
#endif
    for (; x < width; ++x) copy(x);
    return m;
}

// Copies pixels past the caches: the canvas's copy of a redrawn picture is not read again
// before it is shown, and only the part on screen then.
inline void StreamPixels(const std::uint32_t* __restrict from, std::uint32_t* __restrict to, std::int32_t count) {
    std::int32_t x = 0;
#if defined(__GNUC__) && defined(__SSE2__)
    for (const std::int32_t start = StreamStart(to, count); x < start; ++x) to[x] = from[x];
    x = StreamWholeVectors(from, to, x, count, [](StreamLanes) {});
#endif
    for (; x < count; ++x) to[x] = from[x];
}

float SplitPixels(const std::uint32_t* __restrict pixels, float* __restrict red, float* __restrict green,
                  float* __restrict blue, std::int32_t width) {
    std::uint32_t greatest = 0;
    for (std::int32_t x = 0; x < width; ++x) {
        const std::uint32_t r = (pixels[x] >> 16) & 0xFF, g = (pixels[x] >> 8) & 0xFF, b = pixels[x] & 0xFF;
        red[x] = float(r);
        green[x] = float(g);
        blue[x] = float(b);
        greatest = std::max(greatest, std::max(r, std::max(g, b)));
    }
    return float(greatest);
}

// A pixel of the given levels that keeps the fourth byte of the one it replaces.
inline std::uint32_t PixelOf(std::uint32_t old, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return (old & 0xFF000000u) | (red << 16) | (green << 8) | blue;
}

// Against the reference 255, v * 255 / 255 gives v back exactly (the product of a float and
// 255 fits a double), so the level is v itself held at 255. Values are never negative.
struct LevelAt255 {
    std::uint32_t operator()(float v) const { return Nearest(v > 255.0f ? 255.0f : v); }
};

struct LevelAgainst {
    explicit LevelAgainst(float sMax) : sMax(sMax), reference(double(sMax)) {}
    std::uint32_t operator()(float v) const {
        const auto scaled = static_cast<float>(double(v) * 255.0 / reference);
        return Nearest(v > sMax ? 255.0f : scaled);
    }
    float sMax;
    double reference;
};

// Writes the pixels first..last of a row from the three channels' levels, keeping each
// pixel's fourth byte, and the same pixels to the copy when there is one.
template <typename Level>
inline void PackPixels(const float* __restrict red, const float* __restrict green, const float* __restrict blue,
                       std::uint32_t* __restrict out, std::uint32_t* __restrict copy, std::int32_t first,
                       std::int32_t last, Level level) {
    const auto pack = [&](std::int32_t i) { return PixelOf(out[i], level(red[i]), level(green[i]), level(blue[i])); };
    if (copy == nullptr) {
        for (std::int32_t i = first; i <= last; ++i) out[i] = pack(i);
        return;
    }
    for (std::int32_t i = first; i <= last; ++i) out[i] = pack(i);
    StreamPixels(out + first, copy + first, last - first + 1);
}

template <typename Level>
inline void PackRow(const float* __restrict red, const float* __restrict green, const float* __restrict blue,
                    std::uint32_t* __restrict out, std::uint32_t* __restrict copy, std::int32_t width, Level level) {
    InBlocks(
        width, [&](std::int32_t x) { FetchPixelsAhead(out, copy, x); },
        [&](std::int32_t first, std::int32_t last) { PackPixels(red, green, blue, out, copy, first, last, level); });
}

// The newest light added to all three channels of a row and the row's pixels drawn from the
// sums, in one pass over the columns: the sums are packed while still in registers, and the
// light buffer's and the picture's rows stream at the same time instead of one after another.
template <typename Level>
inline void AddLightAndPackColumns(const float* __restrict red, const float* __restrict green,
                                    const float* __restrict blue, float* __restrict sumRed,
                                    float* __restrict sumGreen, float* __restrict sumBlue,
                                    const double* __restrict weights, double scaleRed, double scaleGreen,
                                    double scaleBlue, std::uint32_t* __restrict out, std::uint32_t* __restrict copy,
                                    std::int32_t first, std::int32_t last, std::int32_t& greatest,
                                    std::uint32_t& marks, Level level) {
    for (std::int32_t i = first; i <= last; ++i) {
        const float r = SumOf(red[i], scaleRed, weights[i]);
        const float g = SumOf(green[i], scaleGreen, weights[i]);
        const float b = SumOf(blue[i], scaleBlue, weights[i]);
        Note(r, marks, greatest);
        Note(g, marks, greatest);
        Note(b, marks, greatest);
        sumRed[i] = r;
        sumGreen[i] = g;
        sumBlue[i] = b;
        const std::uint32_t pixel = PixelOf(out[i], level(r), level(g), level(b));
        out[i] = pixel;
        if (copy != nullptr) copy[i] = pixel;
    }
}

template <typename Level>
inline float AddLightAndPack(const FusedRow& row, const double* __restrict weights, std::int32_t width,
                             int* overflow, Level level) {
    std::uint32_t marks = 0;
    std::int32_t greatest = 0;
    InBlocks(
        width,
        [&](std::int32_t x) {
            for (const float* channel : row.from) FetchAhead(channel + x);
            FetchPixelsAhead(row.out, row.copy, x);
        },
        [&](std::int32_t first, std::int32_t last) {
            AddLightAndPackColumns(row.from[0], row.from[1], row.from[2], row.to[0], row.to[1], row.to[2], weights,
                                   row.scale[0], row.scale[1], row.scale[2], row.out, row.copy, first, last,
                                   greatest, marks, level);
        });
    *overflow |= int((marks & kNotFinite) != 0);
    return FloatOf(std::uint32_t(greatest));
}

float AddLightAndRedrawAt255(const FusedRow& row, const double* weights, std::int32_t width, int* overflow) {
    return AddLightAndPack(row, weights, width, overflow, LevelAt255());
}

float AddLightAndRedraw(const FusedRow& row, const double* weights, float sMax, std::int32_t width,
                        int* overflow) {
    return AddLightAndPack(row, weights, width, overflow, LevelAgainst(sMax));
}

void RedrawAt255(const float* __restrict red, const float* __restrict green, const float* __restrict blue,
                 std::uint32_t* __restrict out, std::uint32_t* __restrict copy, std::int32_t width) {
    PackRow(red, green, blue, out, copy, width, LevelAt255());
}

void Redraw(const float* __restrict red, const float* __restrict green, const float* __restrict blue,
            std::uint32_t* __restrict out, std::uint32_t* __restrict copy, float sMax, std::int32_t width) {
    PackRow(red, green, blue, out, copy, width, LevelAgainst(sMax));
}

}  // namespace

extern const RowKernels GLIMMERAGE_ROW_KERNELS;
const RowKernels GLIMMERAGE_ROW_KERNELS{GLIMMERAGE_ROW_KERNELS_NAME, AddLight, StreamRow, StreamFence, Weights,
                                        PlainWeights, Mirror, Accumulate, PlaceLight, Maximum, SplitPixels,
                                        RedrawAt255, Redraw, AddLightAndRedrawAt255, AddLightAndRedraw};
