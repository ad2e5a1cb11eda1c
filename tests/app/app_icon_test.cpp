#include "gui/qt/app_icon.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace tavex {
namespace {

// The share of pixels that are fully opaque.
double OpaqueShare(const QImage& image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    return static_cast<double>(opaque) / (image.width() * image.height());
}

TEST(AppIcon, DrawsAtEverySizeTheProgramUses)
{
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int side : {16, 32, 48, 128}) {
        SCOPED_TRACE(side);
        const QImage image = icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(side, side));
        // Mostly drawn, with a transparent corner where the keyboard is rounded.
        EXPECT_GT(OpaqueShare(image), 0.4);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
}

} // namespace
} // namespace tavex
