#pragma once
// Portable mode: the preferences live in an ini file beside the executable,
// held in memory as a list of lines. Sections and value names compare without
// regard to letter case. The file is written in UTF-16 little-endian with a
// byte-order mark and CR LF after every line; UTF-16 big-endian, UTF-8 (each
// with a byte-order mark) and the system code page are read as well.
// Writing goes to a temporary file that replaces the old one only when it is
// complete, so a crash or a full disk never leaves half a file.
//
// A value is the line "Name=text", the text to the end of the line. A text
// that this form cannot hold (a line break, another control character but
// the tab, half a surrogate pair) is written "Name*=text" with the escapes
// \\ \r \n and \uXXXX; the plain form never unescapes, so files written
// before the escaped form existed read as they always did. A line that is
// not valid text in the file's encoding is skipped with a line on stderr;
// the others read as usual.

#include "uPreferencesMan.h"

class TIniPreferencesMan : public TPreferencesMan
{
public:
    // Loads the file (a missing file gives the single line "[]"); the root
    // section is current.
    explicit TIniPreferencesMan(const QString &fileName);
    // Writes the file back when it changed, unless the last Flush failed and
    // nothing changed since (its caller was told); a failure reaches stderr
    // and marks the run as failed, so callers that can tell the user call
    // Flush first.
    ~TIniPreferencesMan() override;

    QString FileName() const { return m_fileName; }
    const QStringList &Lines() const { return m_lines; }
    bool Changed() const { return m_changed; }
    // The last Flush failed and nothing changed since.
    bool FlushFailed() const { return m_flushFailed; }
    // Writes the file when it changed; the reason of a failure in *error.
    bool Flush(QString *error = nullptr);

    bool GetValueNames(QStringList &list) override;
    bool GetKeyNames(QStringList &list) override;
    bool OpenKey(const QString &name, bool create) override;
    bool CloseKey() override;
    bool DeleteKey(const QString &name) override;
    bool WriteString(const QString &name, const QString &text) override;
    bool ReadString(const QString &name, QString &text) override;
    bool DeleteValue(const QString &name) override;
    bool WriteBool(const QString &name, bool value) override;
    bool ReadBool(const QString &name, bool &value) override;
    bool WriteInteger(const QString &name, qint32 value) override;
    bool ReadInteger(const QString &name, qint32 &value) override;
    bool WriteFloat(const QString &name, double value) override;
    bool ReadFloat(const QString &name, double &value) override;
    QString CurrentPath() const override { return m_path; }
    bool OpenRoot() override;

    // The file is written when a save ends.
    bool EndSave(QString *error = nullptr) override { return Flush(error); }

    // The text of a whole file in the written form.
    static QByteArray Encode(const QStringList &lines);
    // The lines of a file in any of the accepted encodings; the numbers
    // (from 1) of the lines skipped as damaged go to *damaged.
    static QStringList Decode(const QByteArray &bytes, QList<qsizetype> *damaged = nullptr);

private:
    static bool isHeader(const QString &line);
    qsizetype findHeader(const QString &path) const;
    qsizetype ensureSection(const QString &path);
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findValue(const QString &name) const;
    // The name of a value line, without the mark of the escaped form.
    static QStringView valueNameOf(const QString &line);

    QString m_fileName;
    QStringList m_lines;
    QString m_path; // current section; empty for the root "[]"
    bool m_changed = false;
    bool m_flushFailed = false;
};
