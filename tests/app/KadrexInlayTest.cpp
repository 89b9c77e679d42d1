// The inlay from the command line on a PAL DV recording. Each run grabs the
// same frame twice, without and then with the inlay; the second picture must
// be the first one mixed with the inlay of that frame's own values (drawn
// here with the settings of a fresh start), pixel for pixel.
#include "DVFixtures.h"
#include "TestSupport.h"
#include "capture/uInlayOverlay.h"
#include "filters/uDVDate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString palDV()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("pal.dv");
    if (!QFile::exists(path))
        dvfixtures::makeDVFile(path, {.frames = 10});
    return QFile::exists(path) ? path : QString();
}

// The inlay as a session without stored settings draws it: the video
// manager's bold yellow Arial, made plain by the bold setting (off) that the
// window applies after it.
TInlay freshInlay()
{
    TInlay inlay;
    TInlayStyle &style = inlay.Style();
    style.font = *TNvFont::fromSpec("Arial,25,$00FFFF");
    style.autoSize = true;
    style.position = {5000, 8200};
    inlay.Templates().dateFormat = {"ddddd", "tt"};
    inlay.SetOn(true);
    return inlay;
}

struct InlayRun {
    const char *what = "";
    QStringList switches{}; // between the two grabs
    QString pattern1{}, pattern2{};
    TInlayFrameRecord frame{};
    double difference = 0;
    std::optional<QString> fileName{}, number{};
    const char *secondImage = "i_002.bmp";
};

} // namespace

TEST(KadrexInlay, GrabCarriesTheInlayOfItsOwnFrame)
{
    const QString clip = palDV();
    ASSERT_FALSE(clip.isEmpty());
    const TDVCodeEntry recorded{
        true, true, DateTimeToNumber(QDateTime(QDate(2004, 7, 14), QTime(10, 20, 30))), {}};
    const TInlayFrameRecord stamp{QStringLiteral("0:00:00:03"), std::nullopt};
    const TInlayFrameRecord dated{std::nullopt, recorded};
    const InlayRun runs[] = {
        {.what = "time stamp", .switches = {"/is"}, .pattern1 = "%S", .frame = stamp},
        {.what = "DV date and time",
         .switches = {"/id"},
         .pattern1 = "%D",
         .pattern2 = "%D",
         .frame = dated},
        {.what = "three hours later",
         .switches = {"/dh=0.125", "/id"},
         .pattern1 = "%D",
         .pattern2 = "%D",
         .frame = dated,
         .difference = 0.125},
        {.what = "file name and number",
         .switches = {"/n=7", "/p1=%F", "/p2=%N", "/ip"},
         .pattern1 = "%F",
         .pattern2 = "%N",
         .fileName = QStringLiteral("pal"),
         .number = QStringLiteral("007"),
         .secondImage = "i_007.bmp"},
    };
    for (const InlayRun &run : runs) {
        SCOPED_TRACE(run.what);
        QTemporaryDir out;
        QStringList arguments{
            "/o=" + clip, "/savfold=" + out.path(), "/root=i", "/addi=1", "/iex=0", "/ci=false",
            "/far=3",     "/pos=0:00:00:03",        "/g"};
        arguments << run.switches << "/g"
                  << "/quit";
        QString output;
        EXPECT_EQ(testsupport::runKadrex(arguments, &output), 0) << qPrintable(output);
        const QImage clean =
            QImage(out.filePath("i_001.bmp")).convertToFormat(QImage::Format_RGB32);
        const QImage inlaid =
            QImage(out.filePath(run.secondImage)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(clean.size(), QSize(720, 576)) << qPrintable(output);
        ASSERT_EQ(inlaid.size(), clean.size());

        TInlay inlay = freshInlay();
        inlay.Templates().pattern[0] = run.pattern1;
        inlay.Templates().pattern[1] = run.pattern2;
        inlay.Values().timeDifference = run.difference;
        if (run.fileName)
            inlay.Values().fileName = "/any/" + *run.fileName + ".dv";
        inlay.Values().number = run.number;
        QImage expected = clean;
        ASSERT_TRUE(inlay.MixInto(expected, run.frame));
        EXPECT_NE(expected, clean); // something was drawn
        EXPECT_EQ(inlaid, expected);
    }
}
