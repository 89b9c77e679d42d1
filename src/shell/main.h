#pragma once
// The main window: owns every manager component and carries the glue between
// them (start-up, shut-down, opening a video, settings pages).
//
// Start-up: the constructor builds the window's own action list `gpal` from
// its catalogue and hands it the switch processor. At the first show (after
// the preference component, which watches the window's events, has loaded the
// lists) the application counts as activated once: the command line runs from
// the event loop, so it sees a shown window and loaded settings. Later
// activations come from the platform.

#include "capture/uGrabber.h"
#include "prefs/uPreferences.h"
#include "uScreenSaver.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QMenu;
class QTimer;
class TIncrustFrame;
class TDVIncrustFrame;
class TInlay;
struct TInlayFrameRecord;
struct TFramePosition;
struct TFrameDVCodes;
class TAudioMan;
class TIntervallo;
class Tintervalloframe;
class TCustomNvActionList;
class TMediaFactory;
class TNavFrame;
class TNavMan;
class TVideoMan;
class TFichierMan;
class TNorvanePreferences;
class TNvActionList;
class TNvSwitch;
class TShowFormView;
class TImagetteFrame;
class TDossiersFrame;
class TNvAppliMan;
class TOptionsFrame;
class TAboutFrame;

class TShowForm : public QMainWindow
{
    Q_OBJECT
public:
    // where: the preference stores (tests point them into a folder of their own).
    explicit TShowForm(QWidget *parent = nullptr,
                       const TPrefsLocations &where = TPrefsLocations::fromApplication());
    ~TShowForm() override;

    static constexpr QSize kInitialSize{1025, 644};
    static constexpr QSize kMinimumSize{708, 522};

    TNvActionList *gpal() const { return m_gpal; }
    TNvAppliMan *am() const { return m_am; }
    TOptionsFrame *OptionsFrame() const { return m_options; }
    TAboutFrame *AboutFrame() const { return m_about; }
    TNvSwitch *switchProcessor() const { return m_switch; }
    TNorvanePreferences *gp() const { return m_gp; }
    TFichierMan *ficman() const { return m_ficman; }
    TShowFormView *view() const { return m_view; }
    QMenu *videoContextMenu() const { return m_videoMenu; }

    TNavMan *NavMan() const { return m_navMan; }
    TVideoMan *vidman() const { return m_vidman; }
    TAudioMan *audman() const { return m_audman; }
    TMediaFactory *mf() const { return m_mf; }

    // An action of any of the window's lists, by InternalId.
    QAction *FindAction(const QString &internalId) const;

    // Opens a video (paused on its first frame unless it was playing); false,
    // with the reason told to the user, when it cannot be played.
    bool openfile(const QString &path);
    void closefile();
    // Redisplays the paused frame so that a changed flip or inlay shows.
    void applyeffects();
    QString CurrentVideo() const { return m_videoPath; }

    // Grabs the frame on screen and saves it under the next image name with
    // the usual confirmation; advances the number on success.
    TSaveResult GrabImage();
    // Captures the frame on screen and puts it on the clipboard.
    void CopyImage();
    QString NextImageName() const { return m_nextImageName; }
    TImagetteFrame *ImagetteFrame() const { return m_imagette; }
    // The image settings page; its root name field is NomRacineEdit.
    TDossiersFrame *SaveImagesFrame() const { return m_dossiers; }

    // The inlay drawn over the video and its value sources (uShowFormInlay.cpp).
    TInlay &Inlay() const;
    QTimer *TimerSysDate() const { return m_timerSysDate; }
    // Refreshes the DV page from the frame on display.
    void refreshDvPage();
    TIncrustFrame *IncrustFrame() const { return m_incrust; }
    TDVIncrustFrame *DVIncrustFrame() const { return m_dvIncrust; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void TntFormCreate();
    void ActivateOnceLoaded();
    void CreatePreferences(const TPrefsLocations &where);
    void CreateAppliMan();
    void BindAppliPages();
    void CreateFileManager();
    void CreateMenus();
    void BindPages();
    void BindLayoutActions();
    QList<TCustomNvActionList *> Lists() const;
    void CreateMediaComponents();
    void WireNavigation();
    void WireEffects();
    void ShowStreamStates(bool video, bool audio);
    void ReportOpenFailure(const QString &path, const QString &reason);
    // Grab, copy, naming and the aspect commands (uShowFormGrab.cpp).
    void WireGrab();
    bool CaptureFrame(QString *error);
    // The first half of a grab: nullopt once captured, else the failure, said.
    std::optional<TSaveResult> CaptureForGrab();
    TSaveResult SaveCapture();
    void ComputeNextImageName(const TFrameRecord *frame = nullptr);
    void OnOpenedForGrab();
    void OnClosedForGrab();
    void WireGrabClicks();
    void VideoPanelMouseDown(Qt::MouseButton button, QPoint at);
    // The intervalometer (uShowFormIntervallo.cpp).
    void WireIntervallo();
    void OnOpenedForIntervallo();
    // The inlay (uShowFormInlay.cpp).
    struct TInlayParts;
    void WireInlay();
    void WireInlayTemplates();
    void WireInlayStyle();
    void WireInlayFont();
    void WireDVDate();
    void WireInlaySliders();
    void CreateInlayPages();
    TInlayFrameRecord InlayRecordOf(const TFramePosition &at, const TFrameDVCodes &dv) const;
    void AnalyseInlaySources();
    void RefreshInlay();
    void SendInlayFileName();
    void SendInlayNumber();
    void TimerSysDateTimer();
    bool HasDVSource() const;
    void PressInsertButton(int mode);
    void PlaceInlaySliders();
    void OnOpenedForInlay();
    void OnClosedForInlay();

    TNvActionList *m_gpal = nullptr;
    TNvAppliMan *m_am = nullptr;
    TOptionsFrame *m_options = nullptr;
    TAboutFrame *m_about = nullptr;
    TNvSwitch *m_switch = nullptr;
    TNorvanePreferences *m_gp = nullptr;
    TFichierMan *m_ficman = nullptr;
    TShowFormView *m_view = nullptr;
    QMenu *m_videoMenu = nullptr;
    TNavMan *m_navMan = nullptr;
    TVideoMan *m_vidman = nullptr;
    TAudioMan *m_audman = nullptr;
    TMediaFactory *m_mf = nullptr;
    TNavFrame *m_navFrame = nullptr;
    QString m_videoPath;
    bool m_videoPresent = false, m_audioPresent = false;
    TScreenSaverInhibitor m_screenSaver; // off from the first show to the end
    bool m_shown = false;
    TGrabber m_grabber;
    TCapture m_capture; // the last capture: the thumbnail's picture
    QString m_nextImageName;
    TImagetteFrame *m_imagette = nullptr;
    TDossiersFrame *m_dossiers = nullptr;
    std::shared_ptr<TIntervallo> m_intervallo;
    Tintervalloframe *m_intervalloFrame = nullptr;
    std::shared_ptr<TInlayParts> m_inlayParts; // the inlay, its source switch, the DV shift
    QTimer *m_timerSysDate = nullptr;
    TIncrustFrame *m_incrust = nullptr;
    TDVIncrustFrame *m_dvIncrust = nullptr;
};
