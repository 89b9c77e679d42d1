#include "uInlayActions.h"

namespace {

using enum TActionClass;

constexpr bool kStored = true;
constexpr bool kOnLoad = true, kNotOnLoad = false;

// The opacity and the key colour are stored but not applied on load, so each
// session starts from the window's own values (opaque, key clFuchsia).
constexpr TActionDef kInlayActions[] = {
    {"iaInsertAlignLines", Integer, "AlignLines", "", "0", "", "internal", "AlignLines", "",
     kStored, kOnLoad},
    {"caInsertTextOn", Check, "InsertTextOn", "", "False", "Ctrl+I", "internal", "InsertTextOn", "",
     kStored, kOnLoad, "Disable Inlay", "Enable inlay", "Click to deactivate inlaying",
     "Click to activate inlaying"},
    {"iaInsertBorderWidth", Integer, "InsertBorderWidth", "", "2", "", "internal",
     "InsertBorderWidth", "", kStored, kOnLoad},
    {"iaInsertBorderColor", Color, "InsertBorderColor", "", "clBlack", "", "internal",
     "InsertBorderColor", "", kStored, kOnLoad},
    // Arial, height -33 pixels, yellow, bold.
    {"faInsertFont", Font, "InsertFont", "", "Arial,-33,clYellow,B", "", "internal", "InsertFont",
     "", kStored, kOnLoad},
    {"iaInsertTransparentColor", Color, "InsertTransparentColor", "", "clWhite", "", "internal",
     "InsertTransparentColor", "", kStored, kNotOnLoad},
    {"caInsertAntiAliasing", Check, "InsertAntiAliasing", "", "True", "Ctrl+N", "internal",
     "InsertAntiAliasing", "", kStored, kOnLoad, "Deactivate antialiasing", "Activate antialiasing",
     "Click to deactivate antialiasing", "Click to activate antialiasing"},
    {"daInsertTransparency", Double, "InsertTransparency", "", "1.0", "", "internal",
     "InsertTransparency", "", kStored, kNotOnLoad},
    {"paInsertPosition", Point, "InsertPosition", "", "(5000,8200)", "", "internal",
     "InsertPosition", "", kStored, kOnLoad},
};

} // namespace

std::span<const TActionDef> InlayActionTable()
{
    return kInlayActions;
}
