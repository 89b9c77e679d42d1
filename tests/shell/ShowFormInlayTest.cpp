// The inlay in the window: grabs while playing carry the stamp of their own
// frame, the value sources follow the templates, and the inlay and DV pages
// follow their actions both ways.
#include "DVFixtures.h"
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "TestSupport.h"
#include "actions/uActionList.h"
#include "capture/uDateTimeFormat.h"
#include "capture/uInlayOverlay.h"
#include "capture/uInlayPageRules.h"
#include "media/uVideoMan.h"
#include "navigation/uNavMan.h"
#include "shell/main.h"
#include "shell/uDVIncrustFrame.h"
#include "shell/uIncrustFrame.h"
#include "shell/uShowFormView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

namespace {

template <typename A> A *action(const TShowForm &form, const char *id)
{
    return dynamic_cast<A *>(form.FindAction(QLatin1String(id)));
}

// Pixels of `image` that differ from the inlay drawn for that record, among
// the pixels the inlay covers (those not of the key colour).
int inlayMismatches(TInlay inlay, const QImage &image, const TInlayFrameRecord &record)
{
    const QImage overlay = inlay.Overlay(record, image.size());
    const QRgb key = InlayColor(inlay.Style().keyColor).rgb() & RGB_MASK;
    int mismatches = 0, covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb o = overlay.pixel(x, y) & RGB_MASK;
            if (o == key)
                continue;
            ++covered;
            mismatches += (image.pixel(x, y) & RGB_MASK) != o;
        }
    return covered ? mismatches : -1;
}

} // namespace

// What a frame of an indexed clip stamps: its time stamp, or the DV time code
// the fixture's DV recorder counted from 0:00:00:00.
struct PlayingCase {
    const char *name;
    const char *clip;
    const char *insert;
    TInlayFrameRecord (*stampOf)(qint64 index, qint64 frame);
};

void PrintTo(const PlayingCase &c, std::ostream *out)
{
    *out << c.name;
}

// Opens the clip in the shown window, runs the insert command and grabs
// `count` images (0 bitmap, 1 JPEG) while the clip plays; the files in order.
QStringList grabWhilePlaying(TShowForm &form, const QString &folder, const char *clip,
                             const char *insert, int extension, int count = 6)
{
    TNvActionList &gpal = *form.gpal();
    gpal.Find<TWidestringAction>("waDossierSave")->SetValue(folder);
    gpal.Find<TIntegerAction>("iaImageAjouter")->SetValue(1);
    gpal.Find<TIntegerAction>("iaImageExtension")->SetValue(extension);
    gpal.Find<TIntegerAction>("iaJpegCompressionQuality")->SetValue(95);
    gpal.Find<TIntegerAction>("iaForcerAspectRatio")->SetValue(3); // not rescaled
    gpal.Find<TBooleanAction>("baConfirmerImage")->SetValue(false);
    if (!form.openfile(fixtures::mediaFixture(clip)))
        return {};
    action<TNopeAction>(form, insert)->DoExecute();
    form.NavMan()->caPlay->SetChecked(true);
    for (int i = 0; i < count; ++i) {
        testsupport::waitFor([] { return false; }, 150);
        EXPECT_TRUE(form.GrabImage().saved());
    }
    form.NavMan()->caPlay->SetChecked(false);
    QStringList files;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name))
        files << QDir(folder).filePath(name);
    return files;
}

class ShowFormInlayPlaying : public ::testing::TestWithParam<PlayingCase>
{
};

// Grabs while the clip plays: whatever frame each picture shows (read from its
// index bars), the stamp drawn on it is that frame's, not its neighbour's.
TEST_P(ShowFormInlayPlaying, GrabsStampTheirOwnFrame)
{
    const PlayingCase &c = GetParam();
    QTemporaryDir dir;
    TShowForm form;
    form.show();
    const QStringList images = grabWhilePlaying(form, dir.path(), c.clip, c.insert, 0);
    ASSERT_EQ(images.size(), 6);
    ASSERT_TRUE(form.vidman()->caInsertTextOn->Checked());
    const qint64 frame = form.NavMan()->FrameDuration();
    QList<int> indices;
    for (const QString &path : images) {
        SCOPED_TRACE(path.toStdString());
        const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
        const int k = fixtures::frameIndexOf(image);
        ASSERT_GE(k, 0);
        indices << k;
        EXPECT_EQ(inlayMismatches(form.Inlay(), image, c.stampOf(k, frame)), 0);
        if (k > 0) {
            EXPECT_GT(inlayMismatches(form.Inlay(), image, c.stampOf(k - 1, frame)), 0);
        }
        EXPECT_GT(inlayMismatches(form.Inlay(), image, c.stampOf(k + 1, frame)), 0);
    }
    EXPECT_GT(indices.last(), indices.first()) << "the grabs were taken while playing";
}

INSTANTIATE_TEST_SUITE_P(
    Clips, ShowFormInlayPlaying,
    ::testing::Values(PlayingCase{"TimeStamp", "indexed.mkv", "naInsertTimestamp",
                                  [](qint64 k, qint64 frame) {
                                      return InlayFrameRecord(k * frame, frame);
                                  }},
                      PlayingCase{"DVTimecode", "indexed.dv", "naInsertTimecode",
                                  [](qint64 k, qint64) {
                                      const TDVTimecode code{0, 0, quint8(k / 25), quint8(k % 25)};
                                      return TInlayFrameRecord{
                                          std::nullopt,
                                          TDVCodeEntry{false, true, 0, DVTimecodeText(code)}};
                                  }}),
    [](const ::testing::TestParamInfo<PlayingCase> &info) { return info.param.name; });

TEST(ShowFormInlay, InlayPageFollowsItsActionsBothWays)
{
    TShowForm form;
    TIncrustFrame &page = *form.IncrustFrame();
    page.AskColour = [](const QColor &) { return std::optional(QColor(0x10, 0x20, 0x30)); };
    TNvActionList &gpal = *form.gpal();
    TVideoMan &vidman = *form.vidman();
    const auto font = [&] { return vidman.Find<TFontAction>("faInsertFont")->Value(); };
    // The video window's defaults in the form the point and rectangle readers take.
    EXPECT_EQ(vidman.Find<TPointAction>("paInsertPosition")->DefaultValue(), QPoint(5000, 8200));
    EXPECT_EQ(vidman.Find<TRectAction>("raPreviewSave")->DefaultValue(), (TNvRect{0, 0, 640, 480}));

    struct Drive {
        const char *what;
        std::function<void()> control;
        std::function<bool()> holds;
    };
    const Drive controls[] = {
        {"size 20", [&] { page.cbSize->textActivated("20"); },
         [&] {
             return !gpal.Find<TBooleanAction>("baInsertAutoSize")->Value() && font().size == 20;
         }},
        {"size typed as text", [&] { page.cbSize->textActivated("big"); },
         [&] { return font().size == 14; }},
        {"size auto", [&] { page.cbSize->textActivated("auto"); },
         [&] { return gpal.Find<TBooleanAction>("baInsertAutoSize")->Value(); }},
        {"italic", [&] { page.tbItalic->click(); },
         [&] { return gpal.Find<TCheckAction>("caIncrustItalic")->Checked() && font().italic; }},
        {"text colour", [&] { page.tbFontColor->click(); },
         [&] { return font().color == 0x302010; }},
        {"border 3", [&] { page.tbBorder->menu()->actions()[3]->trigger(); },
         [&] {
             return vidman.Find<TIntegerAction>("iaInsertBorderWidth")->Value() == 3 &&
                    page.tbBorder->text() == "3";
         }},
        {"centre", [&] { page.tbCentre->click(); },
         [&] { return vidman.Find<TIntegerAction>("iaInsertAlignLines")->Value() == 2; }},
        {"opacity 50", [&] { page.seTransparency->setValue(50); },
         [&] { return vidman.Find<TDoubleAction>("daInsertTransparency")->Value() == 0.5; }},
        {"custom template", [&] { page.edPerso1->textEdited("%F at %S"); },
         [&] { return gpal.Find<TWidestringAction>("waInsertPerso1")->Value() == "%F at %S"; }},
        {"number button", [&] { page.rbInsert[1]->click(); },
         [&] {
             return gpal.Find<TWidestringAction>("waIncrustPattern1")->Value() == "%N" &&
                    vidman.caInsertTextOn->Checked();
         }},
        {"sliders on", [&] { page.tbSliders->click(); },
         [&] {
             return gpal.Find<TCheckAction>("caSliders")->Checked() &&
                    form.view()->Xslider->isVisibleTo(&form);
         }},
        {"slider moved", [&] { form.view()->Yslider->setValue(1000); },
         [&] {
             return vidman.Find<TPointAction>("paInsertPosition")->Value().y() == 9000 &&
                    form.Inlay().Style().position.y() == 9000;
         }},
        {"inlay off hides the sliders", [&] { vidman.caInsertTextOn->SetChecked(false); },
         [&] { return !gpal.Find<TCheckAction>("caSliders")->Checked(); }},
        {"subtitle preset", [&] { page.tbSoustitres->click(); },
         [&] {
             return page.tbCentre->isChecked() && font().color == colors::clWhite &&
                    page.tbBorder->text() == "2" &&
                    vidman.Find<TPointAction>("paInsertPosition")->Value() == QPoint(5000, 8200);
         }},
        {"custom button", [&] { page.rbInsert[4]->click(); },
         [&] {
             return gpal.Find<TWidestringAction>("waIncrustPattern1")->Value() == "%F at %S" &&
                    page.PressedInsert() == 4;
         }},
    };
    for (const Drive &d : controls) {
        d.control();
        EXPECT_TRUE(d.holds()) << d.what;
    }

    const Drive actions[] = {
        {"opacity 0.25",
         [&] { vidman.Find<TDoubleAction>("daInsertTransparency")->SetValue(0.25); },
         [&] { return page.seTransparency->value() == 25; }},
        {"right", [&] { vidman.Find<TIntegerAction>("iaInsertAlignLines")->SetValue(1); },
         [&] { return page.tbRight->isChecked(); }},
        {"fixed size 36",
         [&] {
             gpal.Find<TBooleanAction>("baInsertAutoSize")->SetValue(false);
             gpal.Find<TIntegerAction>("iaInsertFontSize")->SetValue(36);
         },
         [&] { return page.cbSize->currentText() == "36"; }},
        {"auto size", [&] { gpal.Find<TBooleanAction>("baInsertAutoSize")->SetValue(true); },
         [&] { return page.cbSize->currentText() == "auto"; }},
        {"date code mode", [&] { gpal.Find<TIntegerAction>("iaInsertMode")->SetValue(3); },
         [&] { return page.rbInsert[3]->isChecked(); }},
        {"second template", [&] { gpal.Find<TWidestringAction>("waInsertPerso2")->SetValue("x"); },
         [&] { return page.edPerso2->text() == "x"; }},
        {"border 4", [&] { vidman.Find<TIntegerAction>("iaInsertBorderWidth")->SetValue(4); },
         [&] { return page.tbBorder->text() == "4"; }},
        {"bold", [&] { gpal.Find<TCheckAction>("caIncrustBold")->SetChecked(true); },
         [&] { return page.tbBold->isChecked(); }},
    };
    for (const Drive &d : actions) {
        d.control();
        EXPECT_TRUE(d.holds()) << d.what;
    }
}

TEST(ShowFormInlay, DVPageFollowsItsActionsBothWays)
{
    TShowForm form;
    TDVIncrustFrame &page = *form.DVIncrustFrame();
    TNvActionList &gpal = *form.gpal();
    auto *difference = gpal.Find<TDoubleAction>("daDecalageHoraire");
    auto *advanced = gpal.Find<TCheckAction>("caDecalageAvance");
    // Without a video: the fictitious date, and no DV commands.
    EXPECT_TRUE(page.labVideodate->text().startsWith("Fictitious date: "));
    EXPECT_FALSE(action<TNopeAction>(form, "naInsertDatecode")->isEnabled());

    page.seDecalerHeures->setValue(3);
    EXPECT_DOUBLE_EQ(difference->Value(), 0.125);
    EXPECT_EQ(page.labDecalageHoraire->text(), " 03 hours");
    EXPECT_DOUBLE_EQ(form.Inlay().Values().timeDifference, 0.125);
    page.resetBtn->click();
    EXPECT_EQ(difference->Value(), 0.0);
    EXPECT_EQ(page.labDecalageHoraire->text(), "none");

    page.cbAdvanced->setChecked(true);
    EXPECT_TRUE(advanced->Checked());
    EXPECT_TRUE(page.panelAdvanced->isVisibleTo(&page));
    page.seMinute->setValue(20);
    page.seHeure->setValue(1);
    EXPECT_EQ(page.labDecalageHoraire->text(), " 01 hour 20 m");
    // Back to whole hours: 1 h 20 min rounds to 1 hour.
    page.cbAdvanced->setChecked(false);
    EXPECT_DOUBLE_EQ(difference->Value(), 1.0 / 24);
    EXPECT_EQ(page.seDecalerHeures->value(), 1);
    difference->SetValue(-1.0 / 24);
    EXPECT_EQ(page.labDecalageHoraire->text(), " -01 hour");
    EXPECT_EQ(page.seDecalerHeures->value(), -1);

    page.cbDatecode1->setCurrentText("hh:mm");
    EXPECT_EQ(gpal.Find<TWidestringAction>("waFormatDatecode1")->Value(), "hh:mm");
    EXPECT_EQ(form.Inlay().Templates().dateFormat[0], "hh:mm");
    gpal.Find<TWidestringAction>("waFormatDatecode1")->SetValue("yyyy");
    EXPECT_EQ(page.cbDatecode1->currentText(), "yyyy");
    gpal.Find<TWidestringAction>("waFormatDatecode2")->SetValue("dd");
    EXPECT_EQ(page.cbDatecode2->currentText(), "dd");
    gpal.Find<TWidestringAction>("waFormatDatecode2")->SetValue("yyyy");
    EXPECT_EQ(page.cbDatecode2->currentIndex(), -1);
}

// The value sources follow the templates in use while the inlay is on: the
// real-date timer only for %R, DV commands only with a DV source.
TEST(ShowFormInlay, SourcesFollowTheTemplatesAndTheVideo)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath("pal.dv");
    ASSERT_TRUE(dvfixtures::makeDVFile(clip));
    TShowForm form;
    form.show();
    auto *textOn = form.vidman()->caInsertTextOn;
    auto *datecode = action<TNopeAction>(form, "naInsertDatecode");
    EXPECT_FALSE(datecode->isEnabled());

    action<TNopeAction>(form, "naInsertSysdateTime")->DoExecute();
    EXPECT_TRUE(form.TimerSysDate()->isActive());
    EXPECT_TRUE(
        testsupport::waitFor([&] { return form.Inlay().Values().realDateTime.has_value(); }, 2000));
    textOn->SetChecked(false);
    EXPECT_FALSE(form.TimerSysDate()->isActive());
    textOn->SetChecked(true);
    EXPECT_TRUE(form.TimerSysDate()->isActive());
    action<TNopeAction>(form, "naInsertTimestamp")->DoExecute();
    EXPECT_FALSE(form.TimerSysDate()->isActive());

    // File name and number: sent while a template uses them, again at each
    // open and each change of the number.
    form.gpal()->Find<TWidestringAction>("waInsertPerso1")->SetValue("%F");
    form.gpal()->Find<TWidestringAction>("waInsertPerso2")->SetValue("%n");
    action<TNopeAction>(form, "naInsertPerso")->DoExecute();
    form.gpal()->Find<TIntegerAction>("iaNextNum")->SetValue(12);
    EXPECT_EQ(form.Inlay().Values().number, "012");

    ASSERT_TRUE(form.openfile(clip));
    EXPECT_EQ(form.Inlay().Values().fileName, clip);
    EXPECT_TRUE(datecode->isEnabled());
    const double recorded = DateTimeToNumber(QDateTime(QDate(2004, 7, 14), QTime(10, 20, 30)));
    EXPECT_EQ(form.DVIncrustFrame()->labVideodate->text(),
              "Date of the DV video: " + FormatDateTime("ddddd tt", recorded));
    form.closefile();
    EXPECT_FALSE(datecode->isEnabled());
    EXPECT_TRUE(form.DVIncrustFrame()->labVideodate->text().startsWith("Fictitious date: "));
}

// The time code a JPEG grabbed while playing records is that of its own frame
// (the recorder counted from 00:00:00:00), not the latest one reported.
TEST(ShowFormInlay, GrabbedJpegRecordsTheTimecodeOfItsFrame)
{
    QTemporaryDir dir;
    TShowForm form;
    form.show();
    const QStringList jpegs =
        grabWhilePlaying(form, dir.path(), "indexed.dv", "naInsertTimecode", 1, 4);
    ASSERT_EQ(jpegs.size(), 4);
    for (const QString &path : jpegs) {
        const int k = fixtures::frameIndexOf(QImage(path));
        ASSERT_GE(k, 0) << path.toStdString();
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        const auto it =
            image->xmpData().findKey(Exiv2::XmpKey("Xmp.xmpDM.startTimecode/xmpDM:timeValue"));
        ASSERT_NE(it, image->xmpData().end()) << path.toStdString();
        EXPECT_EQ(it->toString(),
                  QString::asprintf("00:00:%02d:%02d", k / 25, k % 25).toStdString())
            << path.toStdString();
    }
}
