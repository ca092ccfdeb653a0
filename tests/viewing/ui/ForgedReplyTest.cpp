// The window over a decoder helper that a hostile picture has taken over and that forges its
// answer: an indexed picture without its colours (drawing it read past the colour table and
// crashed the window) never reaches the picture area, and the window says the decoder was
// stopped.
#include "ViewerParts.h"
#include "imaging/ui/ImageControl.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace mv::viewing {
namespace {

TEST(SelectionViewerHelpers, AForgedIndexedPictureWithoutColoursIsNeverDrawnAndTheWindowSaysTheDecoderStopped)
{
    // The test build of the helper, whose "a_forged.png" is answered with a forged reply.
    const QByteArray realHelper = qgetenv("MV_DECODER_HELPER");
    qputenv("MV_DECODER_HELPER", MV_HOSTILE_HELPER);
    auto lone = std::make_unique<test::ViewerParts>();
    qputenv("MV_DECODER_HELPER", realHelper);
    lone->write(u"a_forged.png"_s, "MVTEST-HOSTILE forge no-colours");
    lone->writePicture(u"b_plain.png"_s, mvtest::flat(40, 20, Qt::darkCyan));
    ASSERT_TRUE(lone->open(2));

    lone->choose(u"a_forged.png"_s);
    (void)lone->host_.grab(); // paints the window as it stands
    EXPECT_FALSE(lone->area_->hasPicture());
    EXPECT_EQ(lone->infoBar_->text().toStdString(),
              "Error reading this file! (the decoder was stopped: its answer was malformed)");

    lone->choose(u"b_plain.png"_s);
    EXPECT_EQ(lone->area_->imageControl()->pictureFile(), lone->path(u"b_plain.png"_s));
    const QImage drawn = lone->area_->imageControl()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2), QColor(Qt::darkCyan));
}

} // namespace
} // namespace mv::viewing
