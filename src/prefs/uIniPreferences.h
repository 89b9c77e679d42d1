#pragma once
// Portable mode: the preferences live in an ini file beside the executable,
// held in memory as a list of lines. Sections and value names compare without
// regard to letter case. The file is written in UTF-16 little-endian with a
// byte-order mark and CR LF after every line; UTF-16 big-endian, UTF-8 (each
// with a byte-order mark) and the system code page are read as well.
// Writing goes to a temporary file that replaces the old one only when it is
// complete, so a crash or a full disk never leaves half a file.

#include "uPreferencesMan.h"

class TIniPreferencesMan : public TPreferencesMan
{
public:
    // Loads the file (a missing file gives the single line "[]"); the root
    // section is current.
    explicit TIniPreferencesMan(const QString &fileName);
    // Writes the file back when it changed; a failure only reaches stderr, so
    // callers that can tell the user call Flush first.
    ~TIniPreferencesMan() override;

    QString FileName() const { return m_fileName; }
    const QStringList &Lines() const { return m_lines; }
    bool Changed() const { return m_changed; }
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
    // The lines of a file in any of the accepted encodings.
    static QStringList Decode(const QByteArray &bytes);

private:
    static bool isHeader(const QString &line);
    qsizetype findHeader(const QString &path) const;
    qsizetype ensureSection(const QString &path);
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findValue(const QString &name) const;

    QString m_fileName;
    QStringList m_lines;
    QString m_path; // current section; empty for the root "[]"
    bool m_changed = false;
};
