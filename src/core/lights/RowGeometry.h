#pragma once

#include <array>
#include <cstdint>

struct RowKernels;

// Where the rows and columns of the light buffer lie relative to a light. A light's position
// is in canvas pixels counted from 0, while the buffer numbers its rows and columns from 1:
// row y lies at y + 1, so a light shines brightest one row above and one column left of
// where it was placed. Rows and columns themselves count from 0 here.

// The squared vertical distance of row y from a light at lightY, in double.
double RowDistance2(std::int32_t y, float lightY);

// The weights of the columns first..last of a row dy2 (squared) away from the light. A fog
// factor of exactly 1 divides by nothing, which gives the same bits without the division.
void ComputeWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                    std::int32_t first, std::int32_t last);

// The weights of a whole row. When the light sits on a whole or half column, the columns
// on its shorter side take their weights from the mirror columns on the longer side, which
// halves the square roots and divisions.
void FillWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                 std::int32_t width);

// A light on a whole or half row gives the rows on either side of it, equally far away, the
// same weights. Pair p (from 0) holds the rows low - p and high + p that lie in the picture;
// `count` pairs cover every row. A count of 0 means the rows do not pair up: the light is
// off the picture or between half rows.
struct RowPairs {
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t count = 0;

    // The one or two rows of pair p; -1 where there is none.
    std::array<std::int32_t, 2> Rows(std::int32_t p, std::int32_t height) const;
};
RowPairs PairRowsAround(float lightY, std::int32_t height);
