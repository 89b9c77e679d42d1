#include "capture/uFrameRecord.h"
#include "capture/uImageNaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr qint64 kPal = 400'000; // 25 frames per second

struct NameCase {
    const char *what;
    TImageNameSettings settings;
    const char *video;
    qint64 position;
    const char *expected;
};

void PrintTo(const NameCase &c, std::ostream *os)
{
    *os << c.what;
}

TImageNameSettings numbered(int number, int digits = 3)
{
    TImageNameSettings s;
    s.folder = "/pics";
    s.suffixKind = 1;
    s.nextNum = number;
    s.digits = digits;
    return s;
}

TImageNameSettings videoNamed(bool limit, int length, int extension = 1)
{
    TImageNameSettings s;
    s.folder = "/pics/";
    s.nameSource = 1;
    s.limitLength = limit;
    s.rootLength = length;
    s.suffixKind = 0;
    s.imageExtension = extension;
    return s;
}

TImageNameSettings rooted(const char *root, int suffixKind, int extension)
{
    TImageNameSettings s;
    s.folder = "/out";
    s.root = root;
    s.suffixKind = suffixKind;
    s.imageExtension = extension;
    return s;
}

class NextImageNameTable : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(NextImageNameTable, BuildsFolderRootSuffixExtension)
{
    const NameCase &c = GetParam();
    const auto name = NextImageName(c.settings, QString::fromUtf8(c.video), kPal, c.position);
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, QString::fromUtf8(c.expected));
}

// 1 min 23 s 12 frames at 25 fps.
constexpr qint64 k1m23s12 = (60 + 23) * 10'000'000LL + 12 * kPal;

INSTANTIATE_TEST_SUITE_P(
    Examples, NextImageNameTable,
    ::testing::Values(
        NameCase{"root, number 7, 3 digits, bitmap", numbered(7), "", 0, "/pics/Kadrex_007.bmp"},
        NameCase{"45 with 3 digits", numbered(45), "", 0, "/pics/Kadrex_045.bmp"},
        NameCase{"digits never cut the number", numbered(1234), "", 0, "/pics/Kadrex_1234.bmp"},
        NameCase{"one digit", numbered(5, 1), "", 0, "/pics/Kadrex_5.bmp"},
        NameCase{"video name cut to 8, time stamp, JPEG", videoNamed(true, 8),
                 "/films/holiday.2019.avi", k1m23s12, "/pics/holiday._0.01.23.12.jpg"},
        NameCase{"several dots: only the last part goes", videoNamed(false, 8), "/films/a.b.c.mkv",
                 0, "/pics/a.b.c_0.00.00.00.jpg"},
        NameCase{"a name without a dot stays whole", videoNamed(false, 0), "/films/clip", 0,
                 "/pics/clip_0.00.00.00.jpg"},
        NameCase{"a limit beyond the name keeps it whole", videoNamed(true, 50),
                 "/films/holiday.2019.avi", 0, "/pics/holiday.2019_0.00.00.00.jpg"},
        NameCase{"limit 0 gives an empty root", videoNamed(true, 0), "/films/holiday.avi", 0,
                 "/pics/_0.00.00.00.jpg"},
        NameCase{"no video: empty root", videoNamed(true, 8), "", 0, "/pics/_0.00.00.00.jpg"},
        NameCase{"a surrogate pair is not split", videoNamed(true, 3), "/v/ab\xF0\x9F\x8E\xA5.mp4",
                 0, "/pics/ab_0.00.00.00.jpg"},
        NameCase{"time stamp after /pos=0:00:01:23", rooted("g", 0, 1), "", 10'000'000 + 23 * kPal,
                 "/out/g_0.00.01.23.jpg"},
        NameCase{"root characters are not checked", rooted("a?b*", 1, 0), "", 0,
                 "/out/a?b*_001.bmp"}));

TEST(NextImageName, OtherSuffixKindsKeepThePreviousName)
{
    TImageNameSettings s = numbered(1);
    s.suffixKind = 2;
    EXPECT_FALSE(NextImageName(s, QString(), kPal, 0).has_value());
}

TEST(NextImageName, FollowsTheCapturedFrame)
{
    TFrameRecord frame;
    frame.sourceFile = "/films/holiday.2019.avi";
    frame.position = k1m23s12;
    frame.frameDuration = kPal;
    EXPECT_EQ(NextImageName(videoNamed(true, 8, 0), frame), "/pics/holiday._0.01.23.12.bmp");
}

TEST(NumberText, WildDigitCountsStayBounded)
{
    EXPECT_EQ(NumberText(-5, 3), "-05");
    EXPECT_EQ(NumberText(1, 0), "1");
    EXPECT_EQ(NumberText(1, 1'000'000'000).size(), 255);
}

TEST(ImageNameState, GreenWhenTakenMaroonWhenFree)
{
    QTemporaryDir dir;
    const QString taken = dir.filePath("Kadrex_001.bmp");
    QFile(taken).open(QIODevice::WriteOnly);
    EXPECT_EQ(ImageNameColor(ImageNameState(taken)), QColor(0, 128, 0));
    EXPECT_EQ(ImageNameColor(ImageNameState(dir.filePath("Kadrex_001.jpg"))), QColor(128, 0, 0));
}

TEST(EntryToShow, NextImageThenFirstOfTheRootThenFolder)
{
    QTemporaryDir dir;
    for (const char *name : {"g_009.jpg", "g_002.bmp", "gx_001.bmp", "other.jpg"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    EXPECT_EQ(EntryToShow(dir.filePath("g_009.jpg"), dir.path(), "g"), dir.filePath("g_009.jpg"));
    EXPECT_EQ(EntryToShow(dir.filePath("g_010.jpg"), dir.path(), "g"), dir.filePath("g_002.bmp"));
    EXPECT_EQ(EntryToShow(dir.filePath("z_1.jpg"), dir.path(), "z"), QDir(dir.path()).path());
    EXPECT_EQ(EntryToShow(dir.filePath("no/g_1.jpg"), dir.filePath("no"), "g"), QString());
}

} // namespace
