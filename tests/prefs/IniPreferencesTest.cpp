#include "TestSupport.h"
// The portable ini file: format, reading rules, encodings, safe writing.

#include "PrefsTestSupport.h"
#include "actions/uRunStatus.h"

#include <QStringEncoder>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray encoded(QStringConverter::Encoding encoding, const QString &text, bool bom = true)
{
    QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                         : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

TEST(IniPreferences, WrittenFormatAndInsertPositions)
{
    TempStores stores;
    {
        TIniPreferencesMan ini(stores.iniFile());
        EXPECT_EQ(ini.Lines(), QStringList({"[]"}));
        ini.WriteString(QStringLiteral("Version"), QStringLiteral("v1"));
        ini.OpenKey(QStringLiteral("ShowForm"), true);
        ini.WriteBool(QStringLiteral("DecalageAvance"), false);
        ini.OpenKey(QStringLiteral("FormSave"), false); // created whatever create says
        ini.WriteInteger(QStringLiteral("Left"), 113);
        ini.CloseKey();
        ini.WriteInteger(QStringLiteral("LeftFrame"),
                         0); // before the blank line and [ShowForm\FormSave]
        ini.CloseKey();
        ini.WriteString(
            QStringLiteral("ExeName"),
            QStringLiteral("/opt/kadrex")); // before the blank line and the first header
        ini.WriteString(QStringLiteral("VERSION"), QStringLiteral("v2")); // replaces, any case
    }
    const QByteArray bytes = stores.readFile(stores.iniFile());
    const QString expected = QStringLiteral("\xFEFF[]\r\nVERSION=v2\r\nExeName=/opt/kadrex\r\n"
                                            "\r\n[ShowForm]\r\nDecalageAvance=False\r\n"
                                            "LeftFrame=0\r\n\r\n[ShowForm\\FormSave]\r\n"
                                            "Left=113\r\n");
    EXPECT_EQ(bytes, encoded(QStringConverter::Utf16LE, expected, false));
}

TEST(IniPreferences, ReadingRules)
{
    TempStores stores;
    stores.writeFile(stores.iniFile(),
                     encoded(QStringConverter::Utf16LE,
                             QStringLiteral("[]\r\n[ShowForm]\r\nSmall=true\r\nBig=True\r\n"
                                            "Abc=abc\r\nNeg=-42\r\nFloat=2.5\r\nNoFloat=x\r\n"
                                            "Empty=\r\nEq=a=b\r\n[showform\\sub]\r\nIn=1\r\n")));
    TIniPreferencesMan ini(stores.iniFile());
    ASSERT_TRUE(ini.OpenKey(QStringLiteral("SHOWFORM"), false));
    bool b = false;
    qint32 i = 7;
    double d = 7;
    QString s = QStringLiteral("default");
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("Small"), b)); // letter case counts
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("big"), b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("Abc"), i)); // present: reads as 0
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("Neg"), i));
    EXPECT_EQ(i, -42);
    EXPECT_FALSE(ini.ReadInteger(QStringLiteral("Missing"), i));
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("Float"), d));
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("NoFloat"), d));
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Empty"), s));
    EXPECT_EQ(s, QString());
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Eq"), s));
    EXPECT_EQ(s, QStringLiteral("a=b"));
    QStringList names;
    ini.GetValueNames(names);
    EXPECT_EQ(names.size(), 8);
    EXPECT_FALSE(ini.Changed()); // reading an existing section changes nothing
    EXPECT_TRUE(ini.DeleteValue(QStringLiteral("NEG")));
    EXPECT_FALSE(ini.ReadInteger(QStringLiteral("Neg"), i));
}

TEST(IniPreferences, KeyNamesListEveryDepth)
{
    TempStores stores;
    TIniPreferencesMan ini(stores.iniFile());
    for (const char *path : {"A", "A\\B", "A\\B\\C", "AB", "Other"}) {
        ini.OpenRoot();
        ini.OpenKey(QString::fromLatin1(path), true);
    }
    ini.OpenRoot();
    ini.OpenKey(QStringLiteral("a"), false);
    QStringList below;
    ini.GetKeyNames(below);
    EXPECT_EQ(below, QStringList({"B", "B\\C"}));
    ini.OpenRoot();
    QStringList all;
    ini.GetKeyNames(all);
    EXPECT_EQ(all, QStringList({"A", "A\\B", "A\\B\\C", "AB", "Other"}));
}

TEST(IniPreferences, ReadsEveryAcceptedEncoding)
{
    const QString text = QStringLiteral("[]\nName=Käthe 日本\r\n[S]\rX=1");
    const QList<QByteArray> files = {
        encoded(QStringConverter::Utf16LE, text), encoded(QStringConverter::Utf16BE, text),
        encoded(QStringConverter::Utf8, text), encoded(QStringConverter::System, text, false)};
    for (const QByteArray &bytes : files) {
        TempStores stores;
        stores.writeFile(stores.iniFile(), bytes);
        TIniPreferencesMan ini(stores.iniFile());
        QString name;
        qint32 x = 0;
        EXPECT_TRUE(ini.ReadString(QStringLiteral("Name"), name));
        EXPECT_EQ(name, QStringLiteral("Käthe 日本"));
        ini.OpenKey(QStringLiteral("S"), false);
        EXPECT_TRUE(ini.ReadInteger(QStringLiteral("X"), x));
        EXPECT_EQ(x, 1);
    }
}

// Only a text that the plain line cannot hold takes the escaped form, so
// files written before it existed (backslashes in folders) read unchanged.
TEST(IniPreferences, EscapedFormOnlyWhereThePlainLineCannotHoldTheText)
{
    TempStores stores;
    stores.writeFile(stores.iniFile(), encoded(QStringConverter::Utf16LE,
                                               QStringLiteral("[]\r\nOld=C:\\new\\u0041\\\r\n"
                                                              "Odd*=a\\zb\\u12\\\r\n[After]\r\n")));
    {
        TIniPreferencesMan ini(stores.iniFile());
        QString text;
        ASSERT_TRUE(ini.ReadString(QStringLiteral("old"), text));
        EXPECT_EQ(text, QStringLiteral("C:\\new\\u0041\\")); // no escape in the plain form
        ASSERT_TRUE(ini.ReadString(QStringLiteral("Odd"), text));
        EXPECT_EQ(text, QStringLiteral("a\\zb\\u12\\")); // unknown escapes stay as written
        QStringList names;
        ini.GetValueNames(names);
        EXPECT_EQ(names, QStringList({"Old", "Odd"}));

        ini.WriteString(QStringLiteral("Folder"), QStringLiteral("C:\\Pictures\\"));
        ini.WriteString(QStringLiteral("Two"), QStringLiteral("a\r\n[X]\\n\u0001\u2028"));
        ini.WriteString(QStringLiteral("ODD"), QStringLiteral("plain again")); // replaces Odd*=
    }
    const QStringList lines = stores.iniLines();
    EXPECT_EQ(lines,
              QStringList({"[]", "Old=C:\\new\\u0041\\", "ODD=plain again", "Folder=C:\\Pictures\\",
                           "Two*=a\\r\\n[X]\\\\n\\u0001\\u2028", "[After]"}));
}

// A line that is not valid text costs that line only: the others read, the
// next save leaves it out, and the file does not grow from run to run.
TEST(IniPreferences, ADamagedLineCostsOnlyThatLine)
{
    const QByteArray before =
        QByteArrayLiteral("\xFF\xFE") +
        encoded(QStringConverter::Utf16LE, "[]\r\n[ShowForm]\r\nDigits=7\r\nBad=", false);
    const QByteArray after = encoded(QStringConverter::Utf16LE, "\r\nNextNum=40\r\n", false);
    struct Case {
        const char *what;
        QByteArray bytes;
        qsizetype damagedLine;
    };
    const Case cases[] = {
        {"lone high surrogate", before + QByteArray("\x00\xD8x\x00", 4) + after, 4},
        {"lone low surrogate", before + QByteArray("\x00\xDC", 2) + after, 4},
        {"reversed pair", before + QByteArray("\x00\xDC\x00\xD8", 4) + after, 4},
        {"broken UTF-8", "\xEF\xBB\xBF[]\n[ShowForm]\nDigits=7\nBad=\xC3(\nNextNum=40\n", 4},
        {"odd last byte",
         encoded(QStringConverter::Utf16LE, "[]\r\n[ShowForm]\r\nDigits=7\r\nNextNum=40\r\n") + "X",
         5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempStores stores;
        stores.writeFile(stores.iniFile(), c.bytes);
        QList<qsizetype> damaged;
        TIniPreferencesMan::Decode(c.bytes, &damaged);
        EXPECT_EQ(damaged, QList<qsizetype>({c.damagedLine}));
        for (int run = 0; run < 2; ++run) {
            TIniPreferencesMan ini(stores.iniFile());
            ini.OpenKey(QStringLiteral("ShowForm"), true);
            qint32 digits = 0, next = 0;
            EXPECT_TRUE(ini.ReadInteger(QStringLiteral("Digits"), digits));
            EXPECT_TRUE(ini.ReadInteger(QStringLiteral("NextNum"), next));
            EXPECT_EQ(digits, 7);
            EXPECT_EQ(next, 40 + run);
            ini.WriteInteger(QStringLiteral("NextNum"), 41 + run);
        }
        EXPECT_EQ(stores.iniLines().count(QStringLiteral("[ShowForm]")), 1);
        damaged.clear();
        TIniPreferencesMan::Decode(stores.readFile(stores.iniFile()), &damaged);
        EXPECT_TRUE(damaged.isEmpty());
    }
    TRunStatus::Reset();
}

TEST(IniPreferences, ValuesAboveAnyHeaderBelongToTheRoot)
{
    TempStores stores;
    stores.writeFile(stores.iniFile(), "Loose=1\r\n[S]\r\n");
    TIniPreferencesMan ini(stores.iniFile());
    qint32 value = 0;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("Loose"), value));
    EXPECT_EQ(ini.Lines().first(), QStringLiteral("[]"));
}

using testsupport::FileSizeLimit;

TEST(IniPreferences, AFullDiskKeepsTheOldFileAndTellsWhy)
{
    TempStores stores;
    stores.writeFile(stores.iniFile(), encoded(QStringConverter::Utf16LE, "[]\r\nOld=1\r\n"));
    const QByteArray before = stores.readFile(stores.iniFile());
    TIniPreferencesMan ini(stores.iniFile());
    for (int i = 0; i < 100; ++i)
        ini.WriteInteger(QStringLiteral("Value%1").arg(i), i);
    QString error;
    {
        FileSizeLimit limit(256);
        EXPECT_FALSE(ini.Flush(&error));
    }
    EXPECT_TRUE(error.startsWith(stores.iniFile() + QStringLiteral(": "))) << error.toStdString();
    EXPECT_EQ(stores.readFile(stores.iniFile()), before);
    EXPECT_EQ(QDir(stores.exeFolder()).entryList(QDir::Files), QStringList({"Kadrex.ini"}));
    EXPECT_TRUE(ini.Flush(&error)) << error.toStdString(); // room again: the whole file lands
    EXPECT_EQ(stores.iniLines().size(), 102);
}

TEST(IniPreferences, AMissingFolderIsReported)
{
    TempStores stores;
    TIniPreferencesMan ini(stores.dir.filePath(QStringLiteral("gone/Kadrex.ini")));
    ini.WriteInteger(QStringLiteral("New"), 2);
    QString error;
    EXPECT_FALSE(ini.Flush(&error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
