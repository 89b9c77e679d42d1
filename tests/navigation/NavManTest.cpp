// The navigation manager's actions, its position box and slider, the Shift
// variants of its commands, and the frame cache on a real file.

#include "NavRig.h"

#include "actions/uNvSwitch.h"
#include "actions/uScriptAction.h"
#include "navigation/uNavImages.h"
#include "navigation/uNavSteps.h"

#include <gtest/gtest.h>

namespace {

using namespace navsteps;
constexpr qint64 kFrame = 400'000;

TEST(NavManActions, CreatedWithTheirTexts)
{
    TNavMan nav;
    nav.CreateFresh();
    EXPECT_EQ(nav.Actions().size(), 29);
    struct {
        const char *id, *script, *shortcut, *caption, *hint;
        int image;
    } cases[] = {
        {"naReculeDebut", "ReculeDebut", "Ctrl+Shift+Home", "Start", "Go back to start", 7},
        {"naReculeTrack", "ReculeTrack", "Ctrl+Home", "",
         "Go back to the previous scene\r\nor keep pressing Shift to go back to Start", 7},
        {"naRecule10Minutes", "Recule10Minutes", "Ctrl+Shift+PgDown", "", "Go back ten minutes",
         -1},
        {"naReculeLow", "ReculeLow", "", "",
         "Go back one frame\r\nor hold Shift to Go back ten frames", 2},
        {"naAvanceFin", "AvanceFin", "Ctrl+Shift+End", "End", "Click to go to the end", 6},
        {"naAvanceMinute", "AvanceMinute", "Ctrl+PgUp", "Go forward one minute",
         "Click to skip forward one minute", 5},
        {"naAvanceFrame", "AvanceFrame", "Ctrl+Right", "Move forward one frame",
         "Click to move forward one frame", 3},
        {"iaSeekPrepos", "SeekPrepos", "", "SeekPrepos", "", -1},
        {"waStrPosition", "Position", "", "StrPosition",
         "Select the position in hh:mm:ss:ff and type Enter", -1},
    };
    for (const auto &c : cases) {
        TCustomAbstractAction *action = nav.FindByInternalId(c.id);
        ASSERT_NE(action, nullptr) << c.id;
        EXPECT_EQ(action->ScriptName, c.script) << c.id;
        EXPECT_EQ(action->ShortCut().toString(QKeySequence::PortableText), c.shortcut) << c.id;
        EXPECT_EQ(action->Caption(), c.caption) << c.id;
        EXPECT_EQ(action->Hint(), c.hint) << c.id;
        EXPECT_EQ(action->ImageIndex(), c.image) << c.id;
        EXPECT_EQ(action->Category, "internal") << c.id;
        EXPECT_TRUE(action->IncludePrefs) << c.id;
    }
    EXPECT_EQ(nav.caPlay->Caption(), "Play");
    EXPECT_EQ(nav.caPlay->Hint(), "Play the video and/or audio stream");
    EXPECT_EQ(nav.caPlay->TrueCaption(), "Pause");
    EXPECT_EQ(nav.caPlay->TrueImageIndex(), 8);
    EXPECT_EQ(nav.caPlay->FalseImageIndex(), 9);
    EXPECT_EQ(nav.caVitesseCompatible->TrueHint(),
              "Play the video at maximum speed compatible with CPU resources");
    // The switches of a batch run, and what is applied on load.
    EXPECT_EQ(nav.waStrPosition->Switch, "pos");
    EXPECT_EQ(nav.caSeekPrecision->Switch, "prec");
    EXPECT_EQ(nav.waStrPosition->DefaultValue(), "0:00:00:00");
    EXPECT_EQ(nav.iaSeekPrepos->DefaultValue(), 1000);
    EXPECT_TRUE(nav.caSeekPrecision->ApplyWhenLoad);
    EXPECT_TRUE(nav.caVitesseCompatible->ApplyWhenLoad);
    EXPECT_TRUE(nav.iaSeekPrepos->ApplyWhenLoad);
    EXPECT_FALSE(nav.caPlay->ApplyWhenLoad);
    EXPECT_FALSE(nav.waStrPosition->ApplyWhenLoad);
    nav.iaSeekPrepos->SetValue(250);
    EXPECT_EQ(nav.PrePosition(), 2'500'000);
    EXPECT_EQ(nav.Images.size(), 10);
}

TEST(NavManActions, FoundInTheWindowsStoredSet)
{
    // The main window's stored set: every action but the two scene commands,
    // with stored texts that the manager's own replace.
    TNavMan nav;
    std::vector<TActionDef> stored;
    for (const TNavActionRow &row : navactions::Rows())
        if (navactions::InStoredSet(row)) {
            stored.push_back(row.def);
            stored.back().caption = "stored";
        }
    CreateActionsFromTable(stored, nav, &nav);
    nav.RestoreExisting();
    EXPECT_EQ(nav.Actions().size(), 27);
    EXPECT_EQ(nav.Command("naReculeScene"), nullptr);
    ASSERT_NE(nav.Command("naAvanceTrack"), nullptr);
    EXPECT_EQ(nav.Command("naAvanceTrack")->Caption(), "Next scene");
    ASSERT_NE(nav.caPlay, nullptr);
    EXPECT_EQ(nav.caPlay->Caption(), "Play");
    nav.iaSeekPrepos->SetValue(500);
    EXPECT_EQ(nav.PrePosition(), 5'000'000);
    nav.Command("naAvanceTrack")->Apply(); // no media: nothing happens, nothing breaks
}

TEST(NavManActions, ImagesAreSharedAndCounted)
{
    const int before = navimages::Users();
    {
        TNavMan a, b;
        EXPECT_EQ(navimages::Users(), before + 2);
    }
    EXPECT_EQ(navimages::Users(), before);
}

class TFakeEdit : public TNavPositionEdit
{
public:
    QString Text() const override { return text; }
    void SetText(const QString &t) override { text = t, ++writes; }
    void SetSeekLook(bool seeking) override { looks << seeking; }
    void FocusNext() override { ++focusMoves; }
    QString text;
    int writes = 0, focusMoves = 0;
    QList<bool> looks;
};

class TFakeSlider : public TNavSlider
{
public:
    void SetValue(int v) override { value = v; }
    void SetRange(int lo, int hi) override { minimum = lo, maximum = hi; }
    int value = -1, minimum = -1, maximum = -1;
};

class NavManOnFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rig.nav.SetPositionEdit(&edit);
        rig.nav.SetSlider(&slider);
        rig.nav.OnKPosition = [this](int k) { kpositions << k; };
        rig.nav.OnDuration = [this](const QString &text) { durationText = text; };
        rig.nav.onAbsolutePosition = [this](qint64 rt) { absolute << rt; };
        ASSERT_TRUE(rig.open(fixtures::mediaFixture("indexed.mkv")));
    }
    void expectShown(int index, const char *what)
    {
        rig.settle();
        EXPECT_EQ(rig.shownIndex(), index) << what;
        EXPECT_EQ(rig.positionIndex(), index) << what;
    }

    TNavRig rig;
    TFakeEdit edit;
    TFakeSlider slider;
    QList<int> kpositions;
    QList<qint64> absolute;
    QString durationText;
};

TEST_F(NavManOnFile, PositionBoxAndSliderFollowTheFrame)
{
    EXPECT_EQ(durationText, "0:00:02:00");
    EXPECT_EQ(slider.maximum, SliderValue(rig.nav.End()));
    rig.nav.SetEnterKeyEnabled(true);
    rig.nav.caSeekPrecision->SetChecked(true);
    edit.text = "0:00:01:12";
    rig.nav.PositionEditKeyPress(13);
    expectShown(37, "Enter in the box");
    EXPECT_EQ(edit.text, "0:00:01:12");
    EXPECT_EQ(edit.focusMoves, 1);
    EXPECT_EQ(rig.nav.CurrentPosition(), 14'800'000);
    EXPECT_EQ(slider.value, int(14'800'000 / 1024));
    ASSERT_FALSE(kpositions.isEmpty());
    EXPECT_EQ(kpositions.last(), KPosition(14'800'000, 0, rig.nav.End()));
    EXPECT_FALSE(edit.looks.isEmpty());
    EXPECT_FALSE(edit.looks.last()); // back to the normal look

    // Enter while the switch is off, or another key, does nothing.
    rig.nav.SetEnterKeyEnabled(false);
    edit.text = "0:00:00:03";
    rig.nav.PositionEditKeyPress(13);
    rig.nav.SetEnterKeyEnabled(true);
    rig.nav.PositionEditKeyPress('a');
    expectShown(37, "Enter switched off");

    // While the box has the focus it is not overwritten; while the mouse
    // holds the slider it does not move.
    rig.nav.PositionEditFocus(true);
    rig.nav.SliderMouse(true);
    const int writes = edit.writes, value = slider.value;
    rig.nav.StepForward(kFrame);
    expectShown(38, "step while the user holds the controls");
    EXPECT_EQ(edit.writes, writes);
    EXPECT_EQ(slider.value, value);
    rig.nav.PositionEditFocus(false);
    rig.nav.SliderMouse(false);

    // The slider moved by the user seeks to its value.
    rig.nav.SliderChanged(int(20 * kFrame / 1024) + 1);
    expectShown(20, "slider");
}

TEST_F(NavManOnFile, ShiftVariantsAndPreciseSeekEdges)
{
    bool shift = false;
    rig.nav.ShiftHeld = [&shift] { return shift; };
    const auto run = [this](const char *id) { rig.nav.Command(id)->Apply(); };
    rig.nav.SeekPrecise(20 * kFrame);
    expectShown(20, "precise 20");
    run("naAvanceLow");
    expectShown(21, "low");
    shift = true;
    run("naAvanceLow");
    expectShown(31, "low with Shift");
    run("naReculeLow");
    expectShown(21, "back low with Shift");
    shift = false;
    run("naReculeMedium");
    expectShown(0, "back a second from below a second");
    run("naAvanceMedium");
    expectShown(25, "medium");
    shift = true;
    run("naAvanceTrack");
    const int end = int(FrameAtTarget(rig.nav.Duration() - 2 * kFrame, kFrame) / kFrame);
    expectShown(end, "track with Shift: the end");
    run("naReculeTrack");
    expectShown(0, "back track with Shift: the start");

    // SeekPrecise(0) is GoToStart, a target at the last frame is GoToEnd:
    // both seek straight to their position.
    rig.nav.SeekPrecise(20 * kFrame);
    absolute.clear();
    rig.nav.SeekPrecise(0);
    expectShown(0, "precise 0");
    rig.nav.SeekPrecise(rig.nav.Duration() - kFrame);
    expectShown(end, "precise at the end");
    EXPECT_EQ(absolute, (QList<qint64>{0, rig.nav.Duration() - 2 * kFrame}));

    // A typed text through the action, as the command line's /pos does.
    rig.nav.caSeekPrecision->SetChecked(true);
    rig.nav.waStrPosition->SetValue("0:00:01:03");
    expectShown(28, "waStrPosition");
}

TEST_F(NavManOnFile, BackStepsInsideTheCacheShowTheCachedFrame)
{
    rig.nav.caSeekPrecision->SetChecked(true);
    rig.nav.SeekPrecise(30 * kFrame); // the pre-position decodes from 5 on
    expectShown(30, "precise 30");
    for (int i = 31; i <= 34; ++i) {
        rig.nav.StepForward(kFrame);
        expectShown(i, "forward");
    }
    ASSERT_GE(rig.nav.FrameCache().Count(), 25);
    const int before = rig.presentations;
    QStringList texts;
    rig.nav.OnDisplayTime = [&texts](const QString &text) { texts << text; };
    rig.nav.StepBackward(kFrame);
    expectShown(33, "back one, from the cache");
    EXPECT_EQ(rig.presentations, before + 1);
    EXPECT_EQ(edit.text, "0:00:01:08");
    EXPECT_EQ(texts.value(0), "0:00:01:08");
    rig.nav.StepBackward(10 * kFrame);
    expectShown(23, "back ten, from the cache");
    rig.nav.StepForward(kFrame);
    expectShown(24, "forward inside the cache");
    EXPECT_EQ(rig.nav.ShownFromCache(), std::optional<qint64>(24 * kFrame));
    EXPECT_EQ(rig.presentations, before + 3);

    // Outside the cache the step seeks; playing again starts from the frame
    // shown, not from where the decoder stood.
    rig.nav.FrameCache().Clear();
    rig.nav.StepBackward(kFrame);
    expectShown(23, "back one, seeking");
    EXPECT_FALSE(rig.nav.ShownFromCache());
    rig.nav.StepBackward(kFrame);
    expectShown(22, "back one, cached by the seek before");
    EXPECT_TRUE(rig.nav.ShownFromCache());
    rig.nav.Play();
    rig.settle(200);
    rig.nav.Pause();
    rig.settle();
    EXPECT_GE(rig.shownIndex(), 22);
    EXPECT_LE(rig.shownIndex(), 40);
    EXPECT_EQ(rig.shownIndex(), rig.positionIndex());
}

TEST_F(NavManOnFile, CommandLinePullsAnExactFrame)
{
    // kadrex /o=clip.mkv +prec /pos=0:00:01:12 ...: the navigation half.
    TNvSwitch switches;
    rig.nav.SetSwitch(&switches);
    switches.SetArguments({"+prec", "/pos=0:00:01:12"});
    switches.ApplicationActivated();
    EXPECT_TRUE(rig.nav.caSeekPrecision->Checked());
    expectShown(37, "/pos");
    rig.nav.SetSwitch(nullptr);
}

TEST_F(NavManOnFile, CompatibleSpeedKeepsTheFrameAndTheRunState)
{
    QList<bool> modes;
    rig.nav.OnVitesse = [&modes](bool on) { modes << on; };
    rig.nav.SetPosition(true, 20 * kFrame);
    rig.nav.caVitesseCompatible->SetChecked(true);
    expectShown(20, "compatible speed, paused");
    EXPECT_EQ(rig.nav.State(), gmPaused);
    EXPECT_EQ(gst_pipeline_get_pipeline_clock(rig.nav.Graph()->Pipeline()), nullptr);
    rig.nav.caVitesseCompatible->SetChecked(false);
    expectShown(20, "normal speed, paused");
    EXPECT_EQ(modes, (QList<bool>{true, false}));

    // Drawing the paused frame again seeks to it without the seek look.
    int seekLooks = 0;
    rig.nav.OnDisplaySeek = [&seekLooks] { ++seekLooks; };
    rig.nav.RefreshFrame();
    expectShown(20, "refreshed");
    EXPECT_EQ(seekLooks, 0);
    EXPECT_FALSE(rig.nav.DisplaySuppressed());
}

TEST_F(NavManOnFile, EndOfStreamPausesAndUnchecksPlay)
{
    rig.nav.OnGraphCompleted = [this] { rig.nav.EndOfStream(); };
    rig.nav.SetPosition(true, 45 * kFrame);
    rig.nav.caPlay->SetChecked(true);
    EXPECT_EQ(rig.nav.State(), gmPlaying);
    QElapsedTimer clock;
    clock.start();
    while (!rig.nav.GraphCompleted() && clock.elapsed() < 5000)
        rig.settle(20);
    EXPECT_TRUE(rig.nav.GraphCompleted());
    EXPECT_FALSE(rig.nav.caPlay->Checked());
    EXPECT_EQ(rig.nav.State(), gmPaused);
    // Navigation goes on from there: the flag goes with the next seek.
    rig.nav.StepBackward(kOneSecond);
    rig.settle();
    EXPECT_EQ(rig.shownIndex(), rig.positionIndex());
    EXPECT_FALSE(rig.nav.GraphCompleted());
    const int back = rig.shownIndex();
    EXPECT_GE(back, 20);
    rig.nav.StepForward(kFrame);
    expectShown(back + 1, "a frame step after the end");
}

} // namespace
