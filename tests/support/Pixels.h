#pragma once

#include <QAbstractItemView>
#include <QImage>
#include <QList>
#include <QRect>

#include <algorithm>

namespace hm52::test {

// The horizontal centres (in pixels) of the column bars drawn in one text row of a picture:
// the columns of `band` whose dark pixels run the tallest, which in a fixed-pitch font are the
// bars "|" (they reach below the baseline, past every letter). Adjacent columns make one bar.
inline QList<double> barCentres(const QImage& image, const QRect& band) {
    QList<int> dark;
    for (int x = band.left(); x <= band.right(); ++x) {
        int n = 0;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            n += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
        }
        dark << n;
    }
    const int tallest = dark.isEmpty() ? 0 : *std::max_element(dark.begin(), dark.end());
    QList<double> centres;
    for (int i = 0; i < dark.size(); ++i) {
        if (tallest < 8 || dark[i] < tallest - 1) {
            continue;
        }
        int j = i;
        while (j + 1 < dark.size() && dark[j + 1] >= tallest - 1) {
            ++j;
        }
        centres << band.left() + (i + j) / 2.0;
        i = j;
    }
    return centres;
}

// The bars of a frame's caption and of one line of the list inside it, as the window shows
// them (the caption row runs from the frame's top to the list's top): the caption shows
// `captionBars` bars and the line `lineBars`, and each of the line's bars stands under the
// caption's, within a pixel.
inline bool barsAligned(QWidget* window, QWidget* frame, QAbstractItemView* list, int row,
                        int captionBars, int lineBars) {
    const QImage image = window->grab().toImage();
    const QWidget* viewport = list->viewport();
    const QRect inside(viewport->mapTo(window, QPoint(0, 0)), viewport->size());
    const int captionTop = frame->mapTo(window, QPoint(0, 0)).y();
    const QList<double> caption =
        barCentres(image, QRect(inside.left(), captionTop, inside.width(),
                                list->mapTo(window, QPoint(0, 0)).y() - captionTop));
    const QList<double> line = barCentres(
        image,
        list->visualRect(list->model()->index(row, 0)).translated(inside.topLeft()) & inside);
    if (caption.size() != captionBars || line.size() != lineBars) {
        qWarning("bars found: caption %d, line %d", static_cast<int>(caption.size()),
                 static_cast<int>(line.size()));
        return false;
    }
    for (int i = 0; i < lineBars; ++i) {
        if (qAbs(caption[i] - line[i]) > 1.0) {
            qWarning("bar %d: caption at %g, line at %g", i + 1, caption[i], line[i]);
            return false;
        }
    }
    return true;
}

} // namespace hm52::test
