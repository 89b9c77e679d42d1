#include "uPreferences.h"

#include "actions/uActionList.h"
#include "actions/uRunStatus.h"
#include "prefs/uProductInfo.h"
#include "uIniPreferences.h"
#include "uRegPreferences.h"
#include "uRegistry.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QString kMakerKey = QStringLiteral("Software\\") + QLatin1String(product::kMaker);

// Font sub-section value names, in the written order.
const QString kCharset = QStringLiteral("Charset"), kColor = QStringLiteral("Color"),
              kName = QStringLiteral("Name"), kPitch = QStringLiteral("Pitch"),
              kPixelsPerInch = QStringLiteral("PixelsperInch"), kSize = QStringLiteral("Size"),
              kBold = QStringLiteral("Bold"), kItalic = QStringLiteral("Italic"),
              kStrikeOut = QStringLiteral("StrikeOut"), kUnderline = QStringLiteral("Underline");

void printToStderr(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fflush(stderr);
}

} // namespace

TPrefsLocations TPrefsLocations::fromApplication()
{
    return {QCoreApplication::applicationFilePath(), TRegistryDb::defaultPath()};
}

TNorvanePreferences::TNorvanePreferences(QObject *owner, TPrefsLocations where)
    : QObject(owner), titre(QLatin1String(product::kTitle)), version(product::versionText()),
      m_where(std::move(where)), m_backend(std::make_unique<TNonePreferencesMan>())
{
    if (owner && (owner->isWidgetType() || owner->isWindowType())) {
        m_window = owner;
        owner->installEventFilter(this);
    }
}

TNorvanePreferences::~TNorvanePreferences()
{
    // The window may be half destroyed by now: a late failure goes to stderr.
    OnSaveError = nullptr;
    dropBackend();
}

QString TNorvanePreferences::IniFileName() const
{
    return QFileInfo(m_where.exePath).absolutePath() + QLatin1Char('/') + titre +
           QStringLiteral(".ini");
}

QString TNorvanePreferences::RegistryKey() const
{
    return kMakerKey + QLatin1Char('\\') + titre;
}

QString TNorvanePreferences::AskCaption() const
{
    return QStringLiteral("Saving the preferences of %1").arg(titre);
}

// ---- Modes ---------------------------------------------------------------

void TNorvanePreferences::DetectMode()
{
    if (QFileInfo::exists(IniFileName()))
        m_mode = TSavePreferences::spPortable;
    else if (TRegistryDb(m_where.registryFile, false).keyExists(RegistryKey()))
        m_mode = TSavePreferences::spRegistre;
    else
        m_mode = TSavePreferences::spNone;
    createBackend();
}

void TNorvanePreferences::SetMode(TSavePreferences mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    createBackend();
}

bool TNorvanePreferences::dropBackend()
{
    // A failed save was reported when it failed: the ini file is not tried
    // (and reported) again unless something changed since.
    auto *ini = dynamic_cast<TIniPreferencesMan *>(m_backend.get());
    QString error;
    const bool flushed = !ini || ini->FlushFailed() || ini->Flush(&error);
    if (!flushed)
        reportSaveError(error);
    m_backend.reset();
    return flushed;
}

void TNorvanePreferences::createBackend()
{
    dropBackend();
    switch (m_mode) {
    case TSavePreferences::spRegistre:
        m_backend = std::make_unique<TRegPreferencesMan>(m_where.registryFile, RegistryKey());
        break;
    case TSavePreferences::spPortable:
        m_backend = std::make_unique<TIniPreferencesMan>(IniFileName());
        break;
    case TSavePreferences::spNone:
        m_backend = std::make_unique<TNonePreferencesMan>();
        break;
    }
    if (OnChangeMode)
        OnChangeMode(m_mode);
    deleteOtherStores();
}

void TNorvanePreferences::deleteOtherStores()
{
    if (m_mode != TSavePreferences::spPortable) {
        QFile ini(IniFileName());
        if (ini.exists()) {
            ini.setPermissions(ini.permissions() | QFileDevice::WriteOwner);
            ini.remove();
        }
    }
    if (m_mode != TSavePreferences::spRegistre) {
        TRegistryDb db(m_where.registryFile, false);
        if (db.isOpen() && db.deleteKeyTree(RegistryKey())) {
            const auto left = db.subKeyNames(kMakerKey);
            if (left && left->isEmpty())
                db.deleteKeyTree(kMakerKey);
        }
    }
}

// ---- Show and close ------------------------------------------------------

void TNorvanePreferences::FirstShow(const std::function<void()> &windowShowHandler)
{
    m_shown = true;
    DetectMode();
    if (windowShowHandler)
        windowShowHandler();
    const QScopedValueRollback<bool> loading(m_loading, true);
    if (OnLoadPrefs)
        OnLoadPrefs(*this);
    else
        LoadLists();
}

bool TNorvanePreferences::CloseQuery()
{
    if (m_mode == TSavePreferences::spNone) {
        const TModeAnswer answer = OnAskMode ? OnAskMode(AskCaption()) : TModeAnswer::Unanswerable;
        switch (answer) {
        case TModeAnswer::Cancelled:
            return false;
        case TModeAnswer::Unanswerable:
            printToStderr(QStringLiteral("%1: no screen to ask where to save the preferences; "
                                         "nothing was saved or deleted.")
                              .arg(titre));
            return true;
        case TModeAnswer::Registre:
            SetMode(TSavePreferences::spRegistre);
            break;
        case TModeAnswer::Portable:
            SetMode(TSavePreferences::spPortable);
            break;
        case TModeAnswer::None:
            // Choosing none removes both stores even when none is the mode already.
            createBackend();
            break;
        }
    }
    if (m_mode != TSavePreferences::spNone)
        Save();
    return true;
}

bool TNorvanePreferences::Save()
{
    if (m_mode == TSavePreferences::spNone)
        return false;
    if (!m_backend->BeginSave()) {
        reportSaveError(m_backend->LastError());
        return false;
    }
    const bool bookkept = writeBookkeeping();
    const bool listsSaved = OnSavePrefs ? OnSavePrefs(*this) : SaveLists();
    // Every action saves on its own: what could be written lands, and a write
    // that failed (a read-only store) is reported rather than lost in silence.
    QString writeError;
    if (!bookkept || !listsSaved) {
        writeError = m_backend->LastError();
        if (writeError.isEmpty())
            writeError = QStringLiteral("some settings could not be written");
    }
    QString error;
    if (!m_backend->EndSave(&error)) {
        reportSaveError(error);
        return false;
    }
    if (!writeError.isEmpty()) {
        reportSaveError(writeError);
        return false;
    }
    return true;
}

bool TNorvanePreferences::writeBookkeeping()
{
    bool written = m_backend->OpenRoot();
    written &= m_backend->WriteString(QStringLiteral("Version"), version);
    written &= m_backend->WriteString(
        QStringLiteral("Last saving"),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    written &= m_backend->WriteString(QStringLiteral("ExeName"), m_where.exePath);
    return written;
}

void TNorvanePreferences::reportSaveError(const QString &message)
{
    const QString text = QStringLiteral("The preferences could not be saved.\n%1").arg(message);
    if (OnSaveError) {
        OnSaveError(text);
        TRunStatus::MarkFailed();
    } else {
        TRunStatus::ReportFailure(QStringLiteral("%1: %2").arg(titre, text));
    }
}

bool TNorvanePreferences::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || m_forwarding)
        return false;
    // The window's own handler runs first, through a second delivery of the
    // same event that this filter lets pass.
    const auto forward = [&] {
        m_forwarding = true;
        QCoreApplication::sendEvent(watched, event);
        m_forwarding = false;
    };
    if (event->type() == QEvent::Show && !m_shown) {
        FirstShow(forward);
        return true;
    }
    if (event->type() == QEvent::Close) {
        forward();
        const bool windowAccepts = event->isAccepted();
        if (!CloseQuery()) {
            event->ignore();
            return true;
        }
        // Saved once: the window gets its own handlers back.
        watched->removeEventFilter(this);
        m_window = nullptr;
        event->setAccepted(windowAccepts);
        return true;
    }
    return false;
}

// ---- Sections and values -------------------------------------------------

bool TNorvanePreferences::OpenSection(const QString &name)
{
    return m_mode != TSavePreferences::spNone && m_backend->OpenKey(name, true);
}

bool TNorvanePreferences::CloseSection()
{
    return m_mode != TSavePreferences::spNone && m_backend->CloseKey();
}

bool TNorvanePreferences::DeleteSection(const QString &name)
{
    return m_mode != TSavePreferences::spNone && m_backend->DeleteKey(name);
}

void TNorvanePreferences::GetSectionNames(QStringList &list)
{
    if (m_mode != TSavePreferences::spNone)
        m_backend->GetKeyNames(list);
}

bool TNorvanePreferences::ReadBool(const QString &name, bool def)
{
    bool value = def;
    return m_backend->ReadBool(name, value) ? value : def;
}

qint32 TNorvanePreferences::ReadInteger(const QString &name, qint32 def)
{
    qint32 value = def;
    return m_backend->ReadInteger(name, value) ? value : def;
}

double TNorvanePreferences::ReadFloat(const QString &name, double def)
{
    double value = def;
    return m_backend->ReadFloat(name, value) ? value : def;
}

QString TNorvanePreferences::ReadString(const QString &name, const QString &def)
{
    QString value;
    return m_backend->ReadString(name, value) ? value : def;
}

QPoint TNorvanePreferences::ReadPoint(const QString &name, QPoint def)
{
    qint32 x = 0, y = 0;
    if (m_backend->ReadInteger(name + QStringLiteral(".X"), x) &&
        m_backend->ReadInteger(name + QStringLiteral(".Y"), y))
        return {x, y};
    return def;
}

TNvRect TNorvanePreferences::ReadRect(const QString &name, const TNvRect &def)
{
    if (m_mode == TSavePreferences::spNone || !m_backend->OpenKey(name, false))
        return def;
    TNvRect rect;
    const bool complete = m_backend->ReadInteger(QStringLiteral("Top"), rect.top) &&
                          m_backend->ReadInteger(QStringLiteral("Left"), rect.left) &&
                          m_backend->ReadInteger(QStringLiteral("Right"), rect.right) &&
                          m_backend->ReadInteger(QStringLiteral("Bottom"), rect.bottom);
    m_backend->CloseKey();
    return complete ? rect : def;
}

void TNorvanePreferences::ReadFont(const QString &name, const TNvFont &def, TNvFont &value)
{
    if (m_mode == TSavePreferences::spNone || !m_backend->OpenKey(name, false)) {
        value = def;
        return;
    }
    TNvFont font = value;
    TPreferencesMan &b = *m_backend;
    bool complete = b.ReadInteger(kCharset, font.charset) && b.ReadInteger(kColor, font.color) &&
                    b.ReadString(kName, font.name) && b.ReadInteger(kPitch, font.pitch) &&
                    b.ReadInteger(kPixelsPerInch, font.pixelsPerInch) &&
                    b.ReadInteger(kSize, font.size);
    if (complete) {
        font.bold = font.italic = font.strikeOut = font.underline = false;
        complete = b.ReadBool(kBold, font.bold) && b.ReadBool(kItalic, font.italic) &&
                   b.ReadBool(kStrikeOut, font.strikeOut) && b.ReadBool(kUnderline, font.underline);
    }
    b.CloseKey();
    value = complete ? font : def;
}

bool TNorvanePreferences::WriteBool(const QString &name, bool value)
{
    return m_mode != TSavePreferences::spNone && m_backend->WriteBool(name, value);
}

bool TNorvanePreferences::WriteInteger(const QString &name, qint32 value)
{
    return m_mode != TSavePreferences::spNone && m_backend->WriteInteger(name, value);
}

bool TNorvanePreferences::WriteFloat(const QString &name, double value)
{
    return m_mode != TSavePreferences::spNone && m_backend->WriteFloat(name, value);
}

bool TNorvanePreferences::WriteString(const QString &name, const QString &value)
{
    return m_mode != TSavePreferences::spNone && m_backend->WriteString(name, value);
}

bool TNorvanePreferences::WritePoint(const QString &name, QPoint value)
{
    return m_mode != TSavePreferences::spNone &&
           m_backend->WriteInteger(name + QStringLiteral(".X"), value.x()) &&
           m_backend->WriteInteger(name + QStringLiteral(".Y"), value.y());
}

bool TNorvanePreferences::WriteRect(const QString &name, const TNvRect &value)
{
    if (m_mode == TSavePreferences::spNone || !m_backend->OpenKey(name, true))
        return false;
    const bool stored = m_backend->WriteInteger(QStringLiteral("Left"), value.left) &&
                        m_backend->WriteInteger(QStringLiteral("Top"), value.top) &&
                        m_backend->WriteInteger(QStringLiteral("Right"), value.right) &&
                        m_backend->WriteInteger(QStringLiteral("Bottom"), value.bottom);
    m_backend->CloseKey();
    return stored;
}

bool TNorvanePreferences::WriteFont(const QString &name, const TNvFont &value)
{
    if (m_mode == TSavePreferences::spNone || !m_backend->OpenKey(name, true))
        return false;
    TPreferencesMan &b = *m_backend;
    const bool stored =
        b.WriteInteger(kCharset, value.charset) && b.WriteInteger(kColor, value.color) &&
        b.WriteString(kName, value.name) && b.WriteInteger(kPitch, value.pitch) &&
        b.WriteInteger(kPixelsPerInch, value.pixelsPerInch) && b.WriteInteger(kSize, value.size) &&
        b.WriteBool(kBold, value.bold) && b.WriteBool(kItalic, value.italic) &&
        b.WriteBool(kStrikeOut, value.strikeOut) && b.WriteBool(kUnderline, value.underline);
    b.CloseKey();
    return stored;
}

// ---- Action lists --------------------------------------------------------

void TNorvanePreferences::AddList(const QString &section, TCustomNvActionList *list)
{
    m_lists.append({section, list});
}

bool TNorvanePreferences::forListRuns(bool reverse,
                                      bool (TCustomNvActionList::*operation)(TActionStore &))
{
    QList<TListEntry> order = m_lists;
    if (reverse)
        std::reverse(order.begin(), order.end());
    bool result = true;
    for (qsizetype i = 0; i < order.size();) {
        const QString section = order[i].section;
        const bool opened = OpenSection(section);
        for (; i < order.size() && order[i].section == section; ++i)
            if (order[i].list && !(order[i].list->*operation)(*this))
                result = false;
        if (opened)
            CloseSection();
    }
    return result;
}

bool TNorvanePreferences::LoadLists()
{
    return forListRuns(false, &TCustomNvActionList::LoadAll);
}

bool TNorvanePreferences::SaveLists()
{
    return forListRuns(true, &TCustomNvActionList::SaveAll);
}
