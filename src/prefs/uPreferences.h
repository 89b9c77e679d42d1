#pragma once
// The preference component: chooses the storage mode (registry-like per-user
// database, portable ini file beside the executable, or nothing), loads every
// action list when the main window is first shown, asks for a mode at close
// when none is set, saves every list, and deletes the stores that the chosen
// mode does not use. Actions read and write through it (TActionStore).

#include "actions/uActionStore.h"
#include "uPreferencesMan.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class TCustomNvActionList;

enum class TSavePreferences { spRegistre = 0, spPortable = 1, spNone = 2 };

// The user's answer to the storage-mode question asked at close.
enum class TModeAnswer {
    Registre,    // save in the per-user database
    Portable,    // save in the ini file
    None,        // save nothing and delete both stores
    Cancelled,   // closed without a choice: the window stays open
    Unanswerable // nobody can answer (no screen): save and delete nothing, close
};

// Where the stores live; tests point them into temporary folders.
struct TPrefsLocations {
    QString exePath;      // the executable; the ini file lives in its folder
    QString registryFile; // the database standing for the registry

    // The running program and $XDG_CONFIG_HOME/Norvane/registry.sqlite3.
    static TPrefsLocations fromApplication();
};

class TNorvanePreferences : public QObject, public TActionStore
{
    Q_OBJECT
public:
    // On a window (a widget or a QWindow) the component takes over its first
    // show (detect the mode, load) and its close (ask, save); on any other
    // owner it stays passive and the owner calls FirstShow and CloseQuery.
    explicit TNorvanePreferences(QObject *owner = nullptr,
                                 TPrefsLocations where = TPrefsLocations::fromApplication());
    ~TNorvanePreferences() override;

    QString titre;   // "Kadrex": names the ini file and the registry key
    QString version; // written as "Version" at every save

    TSavePreferences StorageMode() const { return m_mode; }
    // Changes the mode (new backend, other stores deleted); nothing when unchanged.
    void SetMode(TSavePreferences mode);
    // Ini file if it exists, else registry if its key exists, else none.
    void DetectMode();

    const TPrefsLocations &Locations() const { return m_where; }
    QString IniFileName() const;
    QString RegistryKey() const; // "Software\Norvane\" + titre
    TPreferencesMan &Backend() { return *m_backend; }

    // Detects the mode and loads (what the first show does).
    void FirstShow(const std::function<void()> &windowShowHandler = {});
    // True while FirstShow loads the lists: a load that opens a file handles
    // pending events, and whatever must follow the load waits for it.
    bool Loading() const { return m_loading; }
    // The close flow: asks for a mode when none is set, then saves. False
    // keeps the window open (the question was cancelled).
    bool CloseQuery();
    // Writes the bookkeeping values and every list as one save. False when
    // the save could not be made durable or a value could not be written;
    // the user has been told and the run is marked as failed.
    bool Save();

    bool OpenSection(const QString &name);
    bool CloseSection();
    // Deletes the sub-section name of the current section and all below it.
    bool DeleteSection(const QString &name);
    void GetSectionNames(QStringList &list);

    bool ReadBool(const QString &name, bool def) override;
    qint32 ReadInteger(const QString &name, qint32 def) override;
    double ReadFloat(const QString &name, double def) override;
    QString ReadString(const QString &name, const QString &def) override;
    QPoint ReadPoint(const QString &name, QPoint def) override;
    TNvRect ReadRect(const QString &name, const TNvRect &def) override;
    void ReadFont(const QString &name, const TNvFont &def, TNvFont &value) override;
    bool WriteBool(const QString &name, bool value) override;
    bool WriteInteger(const QString &name, qint32 value) override;
    bool WriteFloat(const QString &name, double value) override;
    bool WriteString(const QString &name, const QString &value) override;
    bool WritePoint(const QString &name, QPoint value) override;
    bool WriteRect(const QString &name, const TNvRect &value) override;
    bool WriteFont(const QString &name, const TNvFont &value) override;

    // Action lists in load order, each in its section. Loading runs them in
    // this order; saving in the opposite order. A section is opened once for
    // each run of lists that share it.
    void AddList(const QString &section, TCustomNvActionList *list);
    bool LoadLists();
    bool SaveLists();

    // After every change of mode (the options page shows it).
    std::function<void(TSavePreferences)> OnChangeMode;
    // Load or save the owner's lists; unassigned, the lists given to AddList.
    std::function<bool(TNorvanePreferences &)> OnLoadPrefs, OnSavePrefs;
    // The storage-mode question, given the dialog's caption; unassigned means
    // nobody can answer.
    std::function<TModeAnswer(const QString &caption)> OnAskMode;
    // A save that could not be written; unassigned, the message goes to
    // stderr. Either way the run counts as failed (TRunStatus).
    std::function<void(const QString &message)> OnSaveError;

    // The dialog's caption: "Saving the preferences of Kadrex".
    QString AskCaption() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createBackend();
    void deleteOtherStores();
    void reportSaveError(const QString &message);
    bool writeBookkeeping();
    bool forListRuns(bool reverse, bool (TCustomNvActionList::*operation)(TActionStore &));
    bool dropBackend(); // flushes what the old backend holds

    struct TListEntry {
        QString section;
        QPointer<TCustomNvActionList> list;
    };

    TPrefsLocations m_where;
    TSavePreferences m_mode = TSavePreferences::spNone;
    std::unique_ptr<TPreferencesMan> m_backend;
    QList<TListEntry> m_lists;
    QPointer<QObject> m_window;
    bool m_shown = false;
    bool m_forwarding = false; // the window's own handler is running
    bool m_loading = false;
};
