#pragma once
// The file manager: the usual file commands of a window (new, open, paste,
// save, save as, close, parent folder, ten recent files), the current file
// name and the reopen-at-start flag kept in the preferences. It never reads or
// writes a file's contents: it tells its owner through events.
//
// The platform side (file and folder dialogs, questions, the clipboard's file
// list, the file browser) comes in through TFichierPlatform, so that the
// logic needs no widgets; uFichierDialogs fills it with Qt's dialogs, which
// without a screen take the answer that loses no data.
//
// Paths use "/" as their separator. A file that OnOpenFile cannot open does
// not stay current and does not enter the recent list: the owner is left in
// its closed state and says why.

#include "actions/uActionList.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class TNopeAction;
class TWidestringAction;
class TBooleanAction;

enum class TConfirmType { ctAlways = 0, ctNever = 1, ctAskif = 2 };

struct TFichierPlatform {
    // The file to open, or nothing when cancelled.
    std::function<std::optional<QString>(const QString &title, const QString &folder,
                                         const QString &filter)>
        ChooseOpenFile;
    // The file to save to, or nothing when cancelled.
    std::function<std::optional<QString>(const QString &title, const QString &folder,
                                         const QString &filter, const QString &defaultSuffix,
                                         const QString &suggestion)>
        ChooseSaveFile;
    std::function<std::optional<QString>(const QString &title, const QString &start)> ChooseFolder;
    // A warning with Yes and No; safeAnswer is what a run without a screen takes.
    std::function<bool(const QString &question, bool safeAnswer)> AskYesNo;
    std::function<QStringList()> ClipboardFiles;
    std::function<void(const QString &file)> ShowInFileBrowser;
};

class TFichierMan : public TNvActionComponent
{
    Q_OBJECT
public:
    enum TFileState { fsOpen = 0, fsNew = 1, fsNone = 2 };
    static constexpr int kRecentCount = 10;

    explicit TFichierMan(QObject *owner = nullptr);

    // The main window's instance: only existing files, every action stored,
    // new/save/save-as hidden, only open has a switch ("o").
    void ConfigureForVideo();
    // The script window's instance: text files with new, save and save as.
    void ConfigureForScripts();

    TConfirmType DeleteExisting = TConfirmType::ctAskif;
    bool ExistingOnly = false;
    QString DefaultExtension; // with its dot: ".txt"
    QString NewFileName;      // "script.txt"
    TFichierPlatform Platform;

    std::function<void()> OnNewFile;
    std::function<bool(const QString &name)> OnOpenFile;
    std::function<bool(const QString &name)> OnSaveFile;
    std::function<void(const QString &name)> OnCloseFile;
    std::function<bool(const QString &name)> OnErrorOpenFile;
    std::function<bool(const QString &extension, const QString &name)> OnTestExtension;
    // A file that was not opened because it does not exist or its type was
    // refused, with the reason: the owner tells the user.
    std::function<void(const QString &name, const QString &reason)> OnRefused;

    QString Filter() const { return m_filter; }
    // "All files (*)|*", preceded by text + "|" when text is not empty.
    void SetFilter(const QString &text);
    int RecentLength() const { return m_recentLength; }
    void SetRecentLength(int length);

    QString CurrentFileName() const { return m_current; }
    TFileState FileState() const { return m_state; }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    QString InitialDir() const { return m_initialDir; }
    QStringList RecentFiles() const;

    // Opens F (through open, recent, paste, drop and reopen); false when it
    // was refused, does not exist or could not be opened.
    bool OpenFile(const QString &file);
    // A dropped file list: the first one, unless it is the current file.
    void DropFiles(const QStringList &files);

    // "folder/name" cut to length for a recent caption.
    static QString ShortenPath(const QString &path, int length);
    // The name proposed by save as for the current name.
    static QString SaveAsSuggestion(const QString &name);

protected:
    void CreateActions() override;
    void AssignHandlers() override;

private:
    void CloseFile();
    void NewFile();
    void SaveFile();
    void ParentFolder();
    void PasteFile();
    bool PrepareOpen(QString &file);
    bool PrepareSaveAs(QString &file);
    void ApplySaveAs(const QString &file);
    bool PrepareInitialDir(QString &folder);
    void ApplyReopen(bool reopen);
    void PushRecent(const QString &file);
    void SetRecent(const QStringList &files);
    void UpdateRecentCaption(int index);
    bool Ask(const QString &question, bool safeAnswer) const;

    TNopeAction *naNewFile = nullptr, *naPasteFile = nullptr, *naSaveFile = nullptr,
                *naCloseFile = nullptr, *naParentFolder = nullptr;
    TWidestringAction *waOpenFile = nullptr, *waCurrentFileName = nullptr, *waInitialDir = nullptr,
                      *waSaveFileAs = nullptr;
    TBooleanAction *baOpenLastFile = nullptr;
    QList<TNopeAction *> naRecent;
    QList<TWidestringAction *> waRecentFilename;

    QString m_filter;
    int m_recentLength = 50;
    QString m_current;
    QString m_opened; // the file OnOpenFile last accepted, while it is current
    TFileState m_state = fsNone;
    bool m_modified = false;
    bool m_reopen = true;
    QString m_initialDir;
};
