#pragma once
// The visual parts of the main window, placed by LayoutShowForm: toolbar,
// title bar with the sidecar indicators, stream labels, the video panel, the
// navigation and intervalometer frames, the four settings pages and the
// image-name bar. The window binds them to its actions.

#include "uShowFormLayout.h"

#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QSlider;
class QToolButton;
class TNvBar;

class TShowFormView : public QWidget
{
    Q_OBJECT
public:
    explicit TShowFormView(QWidget *parent = nullptr);

    enum TPage { pgImagette = 0, pgSaveImages = 1, pgDVIncrust = 2, pgIncrust = 3 };
    static constexpr int kPageCount = 4;

    TNvBar *barUnique = nullptr;
    QFrame *PanelTitre = nullptr, *PanelHaut = nullptr, *panelImage = nullptr;
    QLabel *EnCoursLab = nullptr, *scnLab = nullptr, *srtlab = nullptr, *moddlab = nullptr;
    QLabel *labFormatVideo = nullptr, *labDecoderVideo = nullptr, *labFormatAudio = nullptr,
           *labDecoderAudio = nullptr;
    QLabel *ImageLab = nullptr;
    QToolButton *tbDossiers = nullptr;
    QWidget *videoPanel = nullptr, *navframe = nullptr, *intervalloframe = nullptr;
    QSlider *Xslider = nullptr, *Yslider = nullptr;
    std::array<QWidget *, kPageCount> pages{};

    bool VideoOnLeft = false;
    bool SlidersShown = false;
    const TShowFormLayout &Layout() const { return m_layout; }
    // Places every part for the current size and side.
    void Relayout();
    // Where the picture stands in the video panel (panel coordinates); the
    // inlay sliders hug it. None or empty: the whole panel.
    std::function<QRect()> VideoDestination;
    void PlaceSliders();

    // Shows page index (0..3) alone; any other value shows none.
    void ShowPage(int index);
    // The page shown, or -1.
    int ShownPage() const;

    // The title: grey "Loading name" while a file opens, navy once open.
    void SetTitleLoading(const QString &name);
    void SetTitle(const QString &name);
    void SetSidecars(const TSidecars &sidecars);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QFrame *m_vDivider = nullptr, *m_hDivider = nullptr;
    TShowFormLayout m_layout;
};
