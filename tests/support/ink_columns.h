#pragma once

#include <QImage>
#include <QPair>
#include <algorithm>

// The first and the last column of the rows [top, bottom) where isInk(x, y) holds somewhere,
// or (-1, -1): how far a drawn text reaches.
template <typename IsInk>
QPair<int, int> inkColumns(const QImage& image, int top, int bottom, IsInk isInk) {
    QPair<int, int> columns{-1, -1};
    for (int x = 0; x < image.width(); ++x) {
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
            if (!isInk(x, y))
                continue;
            if (columns.first < 0)
                columns.first = x;
            columns.second = x;
            break;
        }
    }
    return columns;
}
