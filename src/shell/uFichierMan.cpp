#include "uFichierMan.h"

#include "actions/uActionTable.h"
#include "actions/uScriptAction.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using enum TActionClass;

constexpr bool kStored = true, kOnLoad = true, kNotOnLoad = false;

// Rows in list order, which is load order: the current name loads before
// the reopen flag that opens it, and the recent names follow with their
// captions. Shortcuts are those of the main window; ConfigureForScripts sets
// the script window's.
constexpr TActionDef kFichierActions[] = {
    {"naNewFile", Nope, "NewFile", "", nullptr, "", "internal", "New...", "Open a new file",
     kStored, kNotOnLoad},
    {"waOpenFile", Widestring, "OpenFile", "", nullptr, "Ctrl+O", "internal", "Open...",
     "Open a file", kStored, kNotOnLoad},
    {"waCurrentFileName", Widestring, "CurrentFileName", "", nullptr, "", "internal",
     "Current File", "Current open file", kStored, kOnLoad},
    {"baOpenLastFile", Boolean, "OpenLastFile", "", "True", "", "internal", "Previous file",
     "Open the previous file at launch", kStored, kOnLoad},
    {"waInitialDir", Widestring, "InitialDir", "", nullptr, "", "internal", "Initial Folder",
     "If you change this folder, then files to open will be searched in it", kStored, kOnLoad},
    {"naPasteFile", Nope, "PasteFile", "", nullptr, "Ctrl+V", "internal", "Paste", "Paste a file",
     kStored, kNotOnLoad},
    {"naSaveFile", Nope, "SaveFile", "", nullptr, "", "internal", "Save", "Save the current file",
     kStored, kNotOnLoad},
    {"waSaveFileAs", Widestring, "SaveFileAs", "", nullptr, "", "internal", "Save as...",
     "Name and save the current file", kStored, kNotOnLoad},
    {"naCloseFile", Nope, "CloseFile", "", nullptr, "Ctrl+F", "internal", "Close",
     "Close the selected file", kStored, kNotOnLoad},
    {"naParentFolder", Nope, "ParentFolder", "", nullptr, "F9", "internal", "Parent folder",
     "Open the parent folder of the selected file", kStored, kNotOnLoad},
};

// Image indexes of the commands, in the application's shared image list.
struct TImageRow {
    const char *name;
    int video, scripts;
};
constexpr TImageRow kImages[] = {
    {"naNewFile", 8, 8},    {"waOpenFile", 10, 10},  {"naPasteFile", 5, 5},   {"naSaveFile", 9, 6},
    {"waSaveFileAs", 6, 6}, {"naCloseFile", 11, 11}, {"naParentFolder", 7, 7}};

QString extensionOf(const QString &file)
{
    const QString suffix = QFileInfo(file).suffix();
    return suffix.isEmpty() ? QString() : u'.' + suffix.toLower();
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

TFichierMan::TFichierMan(QObject *owner) : TNvActionComponent(owner)
{
    SetFilter({});
    CreateFresh();
}

void TFichierMan::CreateActions()
{
    CreateActionsFromTable(kFichierActions, *this, this);
    for (int i = 1; i <= kRecentCount; ++i) {
        auto *recent = new TNopeAction(this);
        const QString id = QStringLiteral("naRecent%1").arg(i);
        recent->SetName(id), recent->InternalId = id;
        recent->ScriptName = QStringLiteral("Recent%1").arg(i);
        recent->Category = QStringLiteral("internal");
        recent->SetCaption(QString::number(i));
        recent->SetHint(QStringLiteral("Open the recent file"));
        recent->setVisible(false);
        AddAction(recent);
        naRecent << recent;
    }
    for (int i = 1; i <= kRecentCount; ++i) {
        auto *name = new TWidestringAction(this);
        const QString id = QStringLiteral("waRecentFilename%1").arg(i);
        name->SetName(id), name->InternalId = id;
        name->ScriptName = QStringLiteral("RecentFilename%1").arg(i);
        name->Category = QStringLiteral("internal");
        name->SetCaption(QStringLiteral("Filename%1").arg(i));
        name->ApplyWhenLoad = true;
        AddAction(name);
        waRecentFilename << name;
    }
}

void TFichierMan::AssignHandlers()
{
    naNewFile = Find<TNopeAction>("naNewFile");
    waOpenFile = Find<TWidestringAction>("waOpenFile");
    waCurrentFileName = Find<TWidestringAction>("waCurrentFileName");
    baOpenLastFile = Find<TBooleanAction>("baOpenLastFile");
    waInitialDir = Find<TWidestringAction>("waInitialDir");
    naPasteFile = Find<TNopeAction>("naPasteFile");
    naSaveFile = Find<TNopeAction>("naSaveFile");
    waSaveFileAs = Find<TWidestringAction>("waSaveFileAs");
    naCloseFile = Find<TNopeAction>("naCloseFile");
    naParentFolder = Find<TNopeAction>("naParentFolder");

    naNewFile->InternalApply = [this] {
        CloseFile();
        NewFile();
    };
    waOpenFile->InternalPrepare = [this](QString &file) { return PrepareOpen(file); };
    waOpenFile->InternalApply = [this](const QString &file) {
        CloseFile();
        OpenFile(file);
    };
    waCurrentFileName->InternalApply = [this](const QString &file) {
        m_current = file;
        if (m_current != m_opened)
            m_opened.clear();
        m_state = file.isEmpty() ? fsNone : (QFileInfo::exists(file) ? fsOpen : fsNew);
    };
    waCurrentFileName->InternalBeforeSave = [this](QString &file) {
        const bool keep = m_state != fsNone && m_reopen;
        file = keep ? m_current : QString();
        return true;
    };
    baOpenLastFile->InternalApply = [this](const bool &reopen) { ApplyReopen(reopen); };
    baOpenLastFile->InternalBeforeSave = [this](bool &reopen) {
        reopen = m_reopen;
        if (!m_reopen)
            CloseFile();
        return true;
    };
    waInitialDir->InternalPrepare = [this](QString &folder) { return PrepareInitialDir(folder); };
    waInitialDir->InternalApply = [this](const QString &folder) { m_initialDir = folder; };
    naPasteFile->InternalApply = [this] { PasteFile(); };
    naSaveFile->InternalApply = [this] { SaveFile(); };
    waSaveFileAs->InternalPrepare = [this](QString &file) { return PrepareSaveAs(file); };
    waSaveFileAs->InternalApply = [this](const QString &file) { ApplySaveAs(file); };
    naCloseFile->InternalApply = [this] { CloseFile(); };
    naParentFolder->InternalApply = [this] { ParentFolder(); };
    for (int i = 0; i < kRecentCount; ++i) {
        naRecent[i]->InternalApply = [this, i] { OpenFile(waRecentFilename[i]->Value()); };
        waRecentFilename[i]->InternalApply = [this, i](const QString &) { UpdateRecentCaption(i); };
    }
}

void TFichierMan::ConfigureForVideo()
{
    ExistingOnly = true;
    const QList<TCustomAbstractAction *> hiddenOnes{naNewFile, naSaveFile, waSaveFileAs};
    for (TCustomAbstractAction *hidden : hiddenOnes) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }
    waOpenFile->Switch = QStringLiteral("o");
    for (const TImageRow &row : kImages)
        FindByInternalId(row.name)->SetImageIndex(row.video);
}

void TFichierMan::ConfigureForScripts()
{
    ExistingOnly = false;
    naNewFile->SetShortCut(QKeySequence(QStringLiteral("Ctrl+N")));
    naSaveFile->SetShortCut(QKeySequence(QStringLiteral("Ctrl+S")));
    waSaveFileAs->SetShortCut(QKeySequence(QStringLiteral("Shift+Ctrl+S")));
    const QList<TCustomAbstractAction *> unstoredOnes{naNewFile,    naPasteFile, naSaveFile,
                                                      waSaveFileAs, naCloseFile, naParentFolder};
    for (TCustomAbstractAction *unstored : unstoredOnes)
        unstored->IncludePrefs = false;
    // The script window's initial folder loads before its current name, so a
    // script started anew lands in it.
    QList<TCustomAbstractAction *> order = Actions();
    order.removeOne(waInitialDir);
    order.insert(order.indexOf(waCurrentFileName), waInitialDir);
    for (TCustomAbstractAction *action : order)
        RemoveAction(action);
    for (TCustomAbstractAction *action : order)
        AddAction(action);
    for (const TImageRow &row : kImages)
        FindByInternalId(row.name)->SetImageIndex(row.scripts);
}

void TFichierMan::SetFilter(const QString &text)
{
    const QString all = QStringLiteral("All files (*.*)|*.*");
    m_filter = text.isEmpty() ? all : text + u'|' + all;
}

void TFichierMan::SetRecentLength(int length)
{
    m_recentLength = length;
    for (int i = 0; i < kRecentCount; ++i)
        UpdateRecentCaption(i);
}

QStringList TFichierMan::RecentFiles() const
{
    QStringList files;
    for (TWidestringAction *name : waRecentFilename)
        files << name->Value();
    return files;
}

bool TFichierMan::OpenFile(const QString &file)
{
    const auto refuse = [&](const char *reason) {
        if (OnRefused)
            OnRefused(file, QString::fromLatin1(reason));
        return false;
    };
    if (OnTestExtension && !OnTestExtension(extensionOf(file), file))
        return refuse("its type is not one this program opens");
    if (file.isEmpty() || !QFileInfo::exists(file))
        return refuse("there is no such file");
    waCurrentFileName->SetValue(file);
    m_state = fsOpen;
    if (OnOpenFile && !OnOpenFile(file)) {
        if (OnErrorOpenFile)
            OnErrorOpenFile(file);
        // A file that did not open is neither current nor recent.
        waCurrentFileName->SetValue(QString());
        m_state = fsNone;
        return false;
    }
    m_opened = file;
    PushRecent(file);
    m_modified = false;
    return true;
}

void TFichierMan::DropFiles(const QStringList &files)
{
    if (files.isEmpty() || files.first().compare(m_current, Qt::CaseInsensitive) == 0)
        return;
    OpenFile(files.first());
}

void TFichierMan::CloseFile()
{
    if (m_state == fsNone)
        return;
    if (m_modified &&
        Ask(QStringLiteral("Do you want to save the open file ?\nIf not, all changes will be lost"),
            true)) {
        if (m_state == fsNew)
            waSaveFileAs->DoExecute();
        else
            SaveFile();
    }
    if (OnCloseFile)
        OnCloseFile(m_current);
    waCurrentFileName->SetValue(QString());
    m_opened.clear();
    m_state = fsNone;
}

void TFichierMan::NewFile()
{
    if (ExistingOnly)
        return;
    const QFileInfo name(NewFileName);
    QString folder = m_initialDir;
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    waCurrentFileName->SetValue(folder + name.completeBaseName() + DefaultExtension);
    m_state = fsNew;
    if (OnNewFile)
        OnNewFile();
    m_modified = false;
}

void TFichierMan::SaveFile()
{
    if (m_state == fsNew) {
        waSaveFileAs->DoExecute();
    } else if (m_state == fsOpen) {
        if (OnSaveFile)
            OnSaveFile(m_current);
        m_modified = false;
    }
}

bool TFichierMan::PrepareOpen(QString &file)
{
    if (!Platform.ChooseOpenFile)
        return false;
    const auto chosen =
        Platform.ChooseOpenFile(QStringLiteral("Select the file to open"), m_initialDir, m_filter);
    if (!chosen)
        return false;
    file = *chosen;
    return true;
}

bool TFichierMan::PrepareSaveAs(QString &file)
{
    if (!OnSaveFile || m_state == fsNone || !Platform.ChooseSaveFile)
        return false;
    QString suffix = DefaultExtension;
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    const auto chosen =
        Platform.ChooseSaveFile(QStringLiteral("Select the target file"), m_initialDir, m_filter,
                                suffix, SaveAsSuggestion(m_current));
    if (!chosen)
        return false;
    if (QFileInfo::exists(*chosen)) {
        if (DeleteExisting == TConfirmType::ctNever)
            return false;
        if (DeleteExisting == TConfirmType::ctAskif &&
            !Ask(QStringLiteral("Do you want to overwrite the existing file:\n%1 ?").arg(*chosen),
                 false))
            return false;
    }
    file = *chosen;
    return true;
}

void TFichierMan::ApplySaveAs(const QString &file)
{
    if (m_state == fsNone || !OnSaveFile)
        return;
    waCurrentFileName->SetValue(file);
    OnSaveFile(file);
    m_state = fsOpen;
    m_opened = file;
    // The saved file takes the place of the one it was saved from.
    if (QFileInfo::exists(file)) {
        QStringList files = RecentFiles();
        files.removeFirst();
        files << QString();
        SetRecent(files);
    }
    PushRecent(file);
    m_modified = false;
}

bool TFichierMan::PrepareInitialDir(QString &folder)
{
    if (!Platform.ChooseFolder)
        return false;
    const QString start = QFileInfo(m_initialDir).isDir() ? m_initialDir : QString();
    const auto chosen = Platform.ChooseFolder(QStringLiteral("Select a folder"), start);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}

void TFichierMan::ApplyReopen(bool reopen)
{
    m_reopen = reopen;
    if (!reopen || (m_state != fsNone && m_current == m_opened && !m_opened.isEmpty()))
        return;
    if (!m_current.isEmpty() && QFileInfo::exists(m_current))
        OpenFile(m_current);
    else
        NewFile();
}

void TFichierMan::ParentFolder()
{
    if (m_state != fsNone && Platform.ShowInFileBrowser)
        Platform.ShowInFileBrowser(m_current);
}

void TFichierMan::PasteFile()
{
    CloseFile();
    if (!Platform.ClipboardFiles)
        return;
    const QStringList files = Platform.ClipboardFiles();
    if (!files.isEmpty())
        OpenFile(files.first().left(260));
}

void TFichierMan::PushRecent(const QString &file)
{
    QStringList files = RecentFiles();
    if (files.first() == file)
        return;
    const qsizetype at = files.indexOf(file);
    if (at >= 0)
        files.removeAt(at);
    else
        files.removeLast();
    files.prepend(file);
    SetRecent(files);
}

void TFichierMan::SetRecent(const QStringList &files)
{
    for (int i = 0; i < kRecentCount; ++i)
        if (waRecentFilename[i]->Value() != files[i])
            waRecentFilename[i]->SetValue(files[i]);
}

void TFichierMan::UpdateRecentCaption(int index)
{
    const QString file = waRecentFilename[index]->Value();
    naRecent[index]->SetCaption(
        QStringLiteral("%1 %2").arg(index + 1).arg(ShortenPath(file, m_recentLength)));
    naRecent[index]->setVisible(!file.isEmpty() && QFileInfo::exists(file));
}

bool TFichierMan::Ask(const QString &question, bool safeAnswer) const
{
    return Platform.AskYesNo ? Platform.AskYesNo(question, safeAnswer) : safeAnswer;
}

QString TFichierMan::ShortenPath(const QString &path, int length)
{
    QString folder = folderOf(path);
    QString name = path.mid(folder.size());
    if (name.size() > length - 4)
        name.truncate(qMax(0, length - 4));
    const int room = length - int(name.size());
    if (room < folder.size())
        folder = folder.left(qMax(0, room)) + QStringLiteral(".../");
    return folder + name;
}

QString TFichierMan::SaveAsSuggestion(const QString &name)
{
    if (!QFileInfo::exists(name))
        return name;
    const QString extension =
        QFileInfo(name).suffix().isEmpty() ? QString() : u'.' + QFileInfo(name).suffix();
    QString base = name.left(name.size() - extension.size());
    static const QRegularExpression numbered(QStringLiteral("_\\d{3}$"));
    base.remove(numbered);
    for (int counter = 1;; ++counter) {
        const QString candidate =
            QStringLiteral("%1_%2%3").arg(base).arg(counter, 3, 10, QChar(u'0')).arg(extension);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
