#pragma once

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

namespace orbita::test {

// Pictures drawn with antialiasing or converted between premultiplied and
// straight alpha round differently on different processors, so drawn
// pictures are compared with a tolerance that still tells one picture from
// another: the same size, and at most 0.5 % of the pixels (at least one) with
// a channel more than 48 apart, compared premultiplied so that nearly
// transparent pixels do not count by their meaningless colour.
struct PictureDifference {
    bool sameSize = false;
    int pixels = 0; // in the expected picture
    int farApart = 0; // pixels with a channel more than kChannelTolerance apart
    int largest = 0; // the largest channel difference
};

inline constexpr int kChannelTolerance = 48;

PictureDifference ComparePictures(const QImage& actual, const QImage& expected);

// Whether the pictures match within the tolerance; when they do not, the
// actual picture is written to the test output folder of the build tree as
// `saveAs` (when given) and the message names it.
::testing::AssertionResult PicturesMatch(
    const QImage& actual, const QImage& expected, const QString& saveAs = QString());

// The folder of the build tree where tests leave pictures for a look.
QString TestOutputFolder();

} // namespace orbita::test
