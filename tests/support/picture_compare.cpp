#include "tests/support/picture_compare.h"

#include <QDir>
#include <algorithm>
#include <cstdlib>

namespace orbita::test {

PictureDifference ComparePictures(const QImage& actual, const QImage& expected)
{
    PictureDifference difference;
    difference.pixels = expected.width() * expected.height();
    difference.sameSize = actual.size() == expected.size();
    if (!difference.sameSize)
        return difference;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = rowA[x];
            const QRgb q = rowB[x];
            const int channel = std::max({ std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q)) });
            difference.largest = std::max(difference.largest, channel);
            if (channel > kChannelTolerance)
                ++difference.farApart;
        }
    }
    return difference;
}

::testing::AssertionResult PicturesMatch(const QImage& actual, const QImage& expected, const QString& saveAs)
{
    if (expected.isNull())
        return ::testing::AssertionFailure() << "no expected picture";
    const PictureDifference difference = ComparePictures(actual, expected);
    const int allowed = std::max(1, difference.pixels / 200);
    if (difference.sameSize && difference.farApart <= allowed)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    if (!difference.sameSize) {
        failure << "the picture is " << actual.width() << "x" << actual.height() << ", not "
                << expected.width() << "x" << expected.height();
    } else {
        failure << difference.farApart << " of " << difference.pixels << " pixels differ by more than "
                << kChannelTolerance << " (at most " << allowed << " may; largest difference "
                << difference.largest << ")";
    }
    if (!saveAs.isEmpty()) {
        const QString file = QDir(TestOutputFolder()).filePath(saveAs);
        if (QDir().mkpath(TestOutputFolder()) && actual.save(file, "PNG"))
            failure << "; the picture made now is " << file.toStdString();
    }
    return failure;
}

QString TestOutputFolder()
{
    return QStringLiteral(ORBITA_TEST_OUTPUT_DIR);
}

} // namespace orbita::test
