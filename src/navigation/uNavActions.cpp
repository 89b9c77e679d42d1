#include "uNavActions.h"

#include <array>
#include <cstring>

namespace navactions {

namespace {

using enum TActionClass;
using E = TNavEffect;

constexpr bool kStored = true;
constexpr bool kOnLoad = true, kNotOnLoad = false;
constexpr const char *kInternal = "internal";

// A command row: name, script name, shortcut, caption, hint.
constexpr TActionDef command(const char *name, const char *script, const char *shortcut,
                             const char *caption, const char *hint)
{
    return {name,      Nope,    script, "",      nullptr,   shortcut,
            kInternal, caption, hint,   kStored, kNotOnLoad};
}

// The two scene commands have no shortcut of their own: the track commands,
// which every action set holds, answer Ctrl+Home and Ctrl+End, and two
// actions on one shortcut would leave the key doing nothing at all.
constexpr std::array kRows = {
    TNavActionRow{{"caPlay", Check, "Play", "", "False", "Ctrl+Space", kInternal, "", "", kStored,
                   kNotOnLoad, "Pause", "Play", "Set Pause", "Play the video and/or audio stream"},
                  -1,
                  8,
                  9},
    TNavActionRow{
        command("naReculeDebut", "ReculeDebut", "Ctrl+Shift+Home", "Start", "Go back to start"), 7,
        -1, -1, E::GoToStart, E::GoToStart},
    TNavActionRow{command("naReculeScene", "ReculeScene", "", "", "Go back to the previous scene"),
                  7, -1, -1, E::PreviousScene, E::PreviousScene},
    TNavActionRow{command("naReculeTrack", "ReculeTrack", "Ctrl+Home", "",
                          "Go back to the previous scene\r\nor keep pressing Shift to go back to "
                          "Start"),
                  7, -1, -1, E::PreviousScene, E::GoToStart},
    TNavActionRow{command("naRecule10Minutes", "Recule10Minutes", "Ctrl+Shift+PgDown", "",
                          "Go back ten minutes"),
                  -1, -1, -1, E::Back10Minutes, E::Back10Minutes},
    TNavActionRow{
        command("naReculeMinute", "ReculeMinute", "Ctrl+PgDown", "", "Go back one minute"), 0, -1,
        -1, E::BackMinute, E::BackMinute},
    TNavActionRow{command("naReculeHigh", "ReculeHigh", "", "",
                          "Go back one minute\r\nor hold Shift to Go back 10 minutes"),
                  0, -1, -1, E::BackMinute, E::Back10Minutes},
    TNavActionRow{command("naRecule10Secondes", "Recule10Secondes", "Ctrl+Shift+Down", "",
                          "Go back ten seconds"),
                  -1, -1, -1, E::Back10Seconds, E::Back10Seconds},
    TNavActionRow{
        command("naReculeSeconde", "ReculeSeconde", "Ctrl+Down", "", "Go back one second"), 1, -1,
        -1, E::BackSecond, E::BackSecond},
    TNavActionRow{command("naReculeMedium", "ReculeMedium", "", "",
                          "Go back one second\r\nor hold Shift to Go back ten seconds"),
                  1, -1, -1, E::BackSecond, E::Back10Seconds},
    TNavActionRow{
        command("naRecule10Frames", "Recule10Frames", "Ctrl+Shift+Left", "", "Go back ten frames"),
        -1, -1, -1, E::Back10Frames, E::Back10Frames},
    TNavActionRow{command("naReculeFrame", "ReculeFrame", "Ctrl+Left", "", "Go back one frame"), 2,
                  -1, -1, E::BackFrame, E::BackFrame},
    TNavActionRow{command("naReculeLow", "ReculeLow", "", "",
                          "Go back one frame\r\nor hold Shift to Go back ten frames"),
                  2, -1, -1, E::BackFrame, E::Back10Frames},
    TNavActionRow{
        command("naAvanceFin", "AvanceFin", "Ctrl+Shift+End", "End", "Click to go to the end"), 6,
        -1, -1, E::GoToEnd, E::GoToEnd},
    TNavActionRow{command("naAvanceScene", "AvanceScene", "", "Next scene",
                          "Click to advance to the next Scene"),
                  6, -1, -1, E::NextScene, E::NextScene},
    TNavActionRow{command("naAvanceTrack", "AvanceTrack", "Ctrl+End", "Next scene",
                          "Click to advance to the next Scene.\r\nIf you hold Shift you will "
                          "advance to the End"),
                  6, -1, -1, E::NextScene, E::GoToEnd},
    TNavActionRow{command("naAvance10Minutes", "Avance10Minutes", "Ctrl+Shift+PgUp",
                          "Go forward ten minutes", "Click to skip forward ten minutes"),
                  -1, -1, -1, E::Forward10Minutes, E::Forward10Minutes},
    TNavActionRow{command("naAvanceMinute", "AvanceMinute", "Ctrl+PgUp", "Go forward one minute",
                          "Click to skip forward one minute"),
                  5, -1, -1, E::ForwardMinute, E::ForwardMinute},
    TNavActionRow{command("naAvanceHigh", "AvanceHigh", "", "Go forward one or ten minutes",
                          "Click to go forward one minute.\r\nIf you hold Shift you will advance "
                          "ten minutes"),
                  5, -1, -1, E::ForwardMinute, E::Forward10Minutes},
    TNavActionRow{command("naAvance10Secondes", "Avance10Secondes", "Ctrl+Shift+Up",
                          "Go forward ten seconds", "Click to skip forward ten seconds"),
                  -1, -1, -1, E::Forward10Seconds, E::Forward10Seconds},
    TNavActionRow{command("naAvanceSeconde", "AvanceSeconde", "Ctrl+Up", "Go forward one second",
                          "Click to go forward one second"),
                  4, -1, -1, E::ForwardSecond, E::ForwardSecond},
    TNavActionRow{command("naAvanceMedium", "AvanceMedium", "", "Go forward one or ten seconds",
                          "Click to go forward one second.\r\nIf you hold Shift you will advance "
                          "ten seconds"),
                  4, -1, -1, E::ForwardSecond, E::Forward10Seconds},
    TNavActionRow{command("naAvance10Frames", "Avance10Frames", "Ctrl+Shift+Right",
                          "Go forward ten frames", "Click to move forward ten frames"),
                  -1, -1, -1, E::Forward10Frames, E::Forward10Frames},
    TNavActionRow{command("naAvanceFrame", "AvanceFrame", "Ctrl+Right", "Move forward one frame",
                          "Click to move forward one frame"),
                  3, -1, -1, E::ForwardFrame, E::ForwardFrame},
    TNavActionRow{command("naAvanceLow", "AvanceLow", "", "Go forward one or ten frames",
                          "Click to move forward one frame.\r\nIf you hold Shift you will advance "
                          "ten frames"),
                  3, -1, -1, E::ForwardFrame, E::Forward10Frames},
    TNavActionRow{{"caVitesseCompatible", Check, "VitesseCompatible", "", "False", "Ctrl+B",
                   kInternal, "", "", kStored, kOnLoad, "Compatible Speed", "Normal Speed",
                   "Play the video at maximum speed compatible with CPU resources",
                   "Play the video at normal speed"}},
    TNavActionRow{{"caSeekPrecision", Check, "SeekPrecision", "prec", "False", "", kInternal, "",
                   "", kStored, kOnLoad, "", "", "", ""}},
    TNavActionRow{{"iaSeekPrepos", Integer, "SeekPrepos", "", "1000", "", kInternal, "SeekPrepos",
                   "", kStored, kOnLoad}},
    TNavActionRow{{"waStrPosition", Widestring, "Position", "pos", "0:00:00:00", "", kInternal,
                   "StrPosition", "Select the position in hh:mm:ss:ff and type Enter", kStored,
                   kNotOnLoad}},
};

} // namespace

std::span<const TNavActionRow> Rows()
{
    return kRows;
}

bool InStoredSet(const TNavActionRow &row)
{
    return std::strcmp(row.def.name, "naReculeScene") != 0 &&
           std::strcmp(row.def.name, "naAvanceScene") != 0;
}

const TNavActionRow *RowOf(const QString &name)
{
    for (const TNavActionRow &row : kRows)
        if (name == QLatin1String(row.def.name))
            return &row;
    return nullptr;
}

TNavEffect EffectOf(const TNavActionRow &row, bool shift)
{
    return shift ? row.shifted : row.plain;
}

bool IsStep(TNavEffect effect)
{
    return effect >= E::Back10Minutes && effect <= E::ForwardFrame;
}

TNavStep StepOf(TNavEffect effect, qint64 frameDuration)
{
    using namespace navsteps;
    switch (effect) {
    case E::Back10Minutes:
        return {false, kTenMinutes};
    case E::BackMinute:
        return {false, kOneMinute};
    case E::Back10Seconds:
        return {false, kTenSeconds};
    case E::BackSecond:
        return {false, kOneSecond};
    case E::Back10Frames:
        return {false, 10 * frameDuration};
    case E::BackFrame:
        return {false, frameDuration};
    case E::Forward10Minutes:
        return {true, kTenMinutes};
    case E::ForwardMinute:
        return {true, kOneMinute};
    case E::Forward10Seconds:
        return {true, kTenSeconds};
    case E::ForwardSecond:
        return {true, kOneSecond};
    case E::Forward10Frames:
        return {true, 10 * frameDuration};
    case E::ForwardFrame:
        return {true, frameDuration};
    default:
        return {};
    }
}

} // namespace navactions
