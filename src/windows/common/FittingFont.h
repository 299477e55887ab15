#pragma once

#include <QFont>
#include <QString>

#include <vector>

// The layouts in fixed pixels were drawn for a system font of 11 pixels; below 7 pixels a
// caption can no longer be read.
inline constexpr int kLargestCaptionPixels = 11;
inline constexpr int kSmallestCaptionPixels = 7;

// A caption and the room a layout in fixed pixels gives it.
struct CaptionRoom {
    QString text;
    int width = 0;
    int height = 0;
};

// The largest pixel size from `largest` down to `smallest` at which every caption fits its
// room, so that layouts made for a small system font cut nothing off whatever fonts the
// system has. Falls back to `smallest`.
QFont FittingFont(QFont font, const std::vector<CaptionRoom>& captions, int largest = kLargestCaptionPixels,
                  int smallest = kSmallestCaptionPixels);
