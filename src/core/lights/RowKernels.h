#pragma once

#include <cstdint>
#include <span>

// One row of the three channels for the fused kernels below: the light buffer's rows to read,
// the rows the sums go to, each channel's gain, and the row of pixels (with its copy, or null).
struct FusedRow {
    const float* from[3];
    float* to[3];
    double scale[3];
    std::uint32_t* out;
    std::uint32_t* copy;
};

// The innermost loops of the light passes, one row at a time, its columns counted from 0.
// The same source is built once for every instruction set the program can choose from, and
// the widest one the processor has is chosen when the program starts. All copies give the
// same bits: IEEE arithmetic in the same order, without fused multiply-add.
struct RowKernels {
    const char* name;
    // to[x] = from[x] + scale * weights[x] in double, stored as a float; `overflow` is set
    // when a sum leaves the float range. Returns the greatest of m (never negative) and the
    // sums.
    float (*addLight)(const float* from, float* to, const double* weights, double scale, std::int32_t width, float m,
                      int* overflow);
    // to[x] = from[x] for every column, written past the caches where the processor
    // can: for a buffer far larger than the caches that is not read again soon, this saves
    // reading every line in before it is overwritten. Returns the greatest of m and the row.
    float (*streamRow)(const float* from, float* to, std::int32_t width, float m);
    // Makes the rows streamed so far visible to every thread.
    void (*streamFence)();
    // weights[x] = 1 / (d / fogFactor + 10) rounded to a float for the columns first..last,
    // d being the distance from column x of a row dy2 (squared) away from the light, whose
    // position counts from 0 where the columns' numbers start at 1. The rounded weight is
    // kept as a double, the form every pass that reads it needs: that saves widening it
    // again for each channel.
    void (*weights)(double* weights, double lightX, double dy2, double fogFactor, std::int32_t first,
                    std::int32_t last);
    // The same with a fog factor of exactly 1.
    void (*plainWeights)(double* weights, double lightX, double dy2, std::int32_t first, std::int32_t last);
    // weights[x] = weights[mirrorSum - x] for the columns first..last.
    void (*mirror)(double* weights, std::int32_t mirrorSum, std::int32_t first, std::int32_t last);
    // sums[x] += weights[x] * colour in double, stored as a float.
    void (*accumulate)(float* sums, const double* weights, double colour, std::int32_t width, int* overflow);
    // sums[x] = 0 + weights[x] * colour in double, stored as a float: accumulate onto zeros.
    void (*placeLight)(float* sums, const double* weights, double colour, std::int32_t width, int* overflow);
    // The greatest of m and the row's values.
    float (*maximum)(const float* values, std::int32_t width, float m);
    // A row of pixels split into the values of its red, green and blue; returns the greatest.
    float (*splitPixels)(const std::uint32_t* pixels, float* red, float* green, float* blue, std::int32_t width);
    // Pixels of one row against the reference 255, and against any other reference; the
    // same pixels also go to `copy` unless it is null.
    void (*redrawAt255)(const float* red, const float* green, const float* blue, std::uint32_t* out,
                        std::uint32_t* copy, std::int32_t width);
    void (*redraw)(const float* red, const float* green, const float* blue, std::uint32_t* out, std::uint32_t* copy,
                   float sMax, std::int32_t width);
    // addLight on all three channels of a row followed by redrawAt255 or redraw of it, in one
    // pass with the same results. Returns the greatest of 0 and the sums.
    float (*addLightAndRedrawAt255)(const FusedRow& row, const double* weights, std::int32_t width, int* overflow);
    float (*addLightAndRedraw)(const FusedRow& row, const double* weights, float sMax, std::int32_t width,
                               int* overflow);
};

// Every set this processor can run, the plainest first.
std::span<const RowKernels* const> AvailableRowKernels();

// The set in use: the widest available unless another was chosen.
const RowKernels& ActiveRowKernels();
void UseRowKernels(const RowKernels& kernels);
