// The audio manager's bound controls: the volume needle and the slider.
#include "controls/uTextGauges.h"
#include "media/uAudioMan.h"

#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

TEST(AudioManControls, GaugeAndSliderFollowTheVolumeAndTheSliderSetsIt)
{
    TAudioMan audman;
    auto *gauge = new TTextGauge;
    auto *slider = new QSlider;
    audman.SetAudioGauge(gauge);
    audman.SetAudioSlider(slider);
    EXPECT_EQ(gauge->MaxValue(), 10000);
    EXPECT_EQ(gauge->AlertValue(), 11000);
    EXPECT_EQ(slider->maximum(), 10000);

    audman.SetVolume(7000);
    EXPECT_EQ(gauge->Progress(), 7000);
    EXPECT_EQ(slider->value(), 7000);
    EXPECT_EQ(GaugeFillColor(gauge->Look()), gauge->ForeColor()) << "never the alert colour";

    slider->setValue(2500);
    EXPECT_EQ(audman.Volume(), 2500);
    EXPECT_EQ(gauge->Progress(), 2500);

    audman.caMute->SetChecked(true);
    EXPECT_EQ(gauge->Progress(), 2500) << "muting keeps the gauge at the volume";

    delete gauge; // a destroyed control is let go
    delete slider;
    audman.SetVolume(100);
    EXPECT_EQ(audman.AudioGauge(), nullptr);
    EXPECT_EQ(audman.AudioSlider(), nullptr);
}

TEST(AudioManControls, StatusPictureFromTheImageList)
{
    TAudioMan audman;
    QLabel picture;
    QList<QPixmap> images;
    for (int i = 0; i < 5; ++i) {
        QPixmap p(4 + i, 4);
        p.fill(Qt::black);
        images << p;
    }
    audman.SetAudioImages(images);
    audman.SetAudioImage(&picture);
    EXPECT_EQ(picture.pixmap().width(), 4) << "status 0: picture 0";
    audman.caMute->SetChecked(true); // not attached: the status stays
    EXPECT_EQ(audman.Status(), asNoStream);
    EXPECT_EQ(AudioStatusPicture(asNoRenderer), 2);
    EXPECT_EQ(AudioStatusPicture(asConnectFailed), 1);
}

} // namespace
