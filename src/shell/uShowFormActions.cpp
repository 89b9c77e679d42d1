#include "uShowFormActions.h"

namespace {

using enum TActionClass;

// The two flags in the order of TActionDef: IncludePrefs, then ApplyWhenLoad.
constexpr bool kStored = true, kNotStored = false;
constexpr bool kOnLoad = true, kNotOnLoad = false;

// A row's default is nullptr for a command (no value) and for the three
// folders whose default is computed at run time by the window's OnDefault
// handlers (uDefaultFolders): waDossierSave (the user's pictures folder, else documents, else
// the home folder), waDossierScripts (the user's documents folder, else the
// home folder) and waPrivateFolder (the executable's folder with a trailing
// separator).
//
// Row order is load order, and these settings depend on it:
// - the inlay: templates (waIncrustPattern1/2) and the custom texts
//   (waInsertPerso1/2), then the font styles, name, colour and size, then
//   baInsertAutoSize, and iaInsertMode last of all, so that the insert mode
//   chosen last rebuilds the templates (mode 4 from the custom texts) over
//   the stored ones;
// - waPrivateFolder before baUsePrivateFilters: the packages are installed
//   from the folder before private filters are switched on;
// - caDecalageAvance before daDecalageHoraire: the mode is known when the time
//   difference is applied, so an advanced difference is not rounded to hours.
// The rest is grouped by feature: pages and layout, grab and aspect, image
// naming and format, DV date, inlay, intervalometer, scripts, private filters.
constexpr TActionDef kShowFormActions[] = {
    // Settings pages and layout.
    {"naShowImagette", Nope, "ShowImagette", "shExtr", nullptr, "F2", "cat_UI", "Thumbnail", "",
     kStored, kNotOnLoad},
    {"naShowSaveImages", Nope, "ShowSaveImages", "shSav", nullptr, "F3", "cat_UI",
     "Settings of the Image", "", kStored, kNotOnLoad},
    {"naShowDVIncrust", Nope, "ShowDVIncrust", "shDV", nullptr, "F4", "cat_UI", "DV Settings", "",
     kStored, kNotOnLoad},
    {"naShowIncrust", Nope, "ShowIncrust", "ShIn", nullptr, "F6", "cat_UI", "Settings of Inlay", "",
     kStored, kNotOnLoad},
    {"iaPanneauActif", Integer, "PanneauActif", "ap", "0", "", "cat_UI", "PanneauActif", "",
     kStored, kOnLoad},
    {"iaLeftFrame", Integer, "LeftFrame", "lf", "0", "", "cat_UI", "LeftFrame", "", kStored,
     kNotOnLoad},
    {"caBasculerVue", Check, "BasculerVue", "bw", "False", "Alt+W", "cat_UI", "BasculerVue", "",
     kStored, kOnLoad, "Put the Video to the Right", "Put the Video to the Left"},
    {"naAbort", Nope, "Abort", "a", nullptr, "Esc", "cat_Norvane", "Abort",
     "Abort actions in progress", kStored, kNotOnLoad},

    // Grab, copy and aspect forcing.
    {"naGrab", Nope, "Grab", "g", nullptr, "F5", "cat_Actions", "Grab",
     "Capture an image and save it", kStored, kNotOnLoad},
    {"naCopy", Nope, "Copy", "c", nullptr, "Ctrl+C", "cat_Actions", "Copy",
     "Copy an image into the clipboard", kStored, kNotOnLoad},
    {"baSauverQuandClic", Boolean, "SauverQuandClic", "sq", "True", "", "cat_Norvane",
     "SauverQuandClic", "", kStored, kOnLoad},
    {"baImageDeinterlacer", Boolean, "ImageDeinterlacer", "di", "False", "", "cat_Norvane",
     "Deinterlace", "Deinterlace the grabbed images.", kStored, kOnLoad},
    {"iaForcerAspectRatio", Integer, "ForcerAspectRatio", "far", "0", "", "cat_Aspect",
     "ForcerAspectRatio", "", kStored, kOnLoad},
    {"naForcerNormal", Nope, "ForcerNormal", "arN", nullptr, "Alt+F5", "cat_Aspect",
     "Aspect Normal", "", kStored, kNotOnLoad},
    {"naForcer4x3", Nope, "Forcer4x3", "ar43", nullptr, "Alt+F6", "cat_Aspect", "Force 4x3", "",
     kStored, kNotOnLoad},
    {"naForcer16x9", Nope, "Forcer16x9", "ar169", nullptr, "Alt+F7", "cat_Aspect", "Force 16x9", "",
     kStored, kNotOnLoad},
    {"naForcerNative", Nope, "ForcerNative", "arNat", nullptr, "Alt+F8", "cat_Aspect",
     "Aspect Native", "", kStored, kNotOnLoad},

    // Image naming, format and saving.
    {"waDossierSave", Widestring, "DossierSave", "savfold", nullptr /* pictures folder */, "",
     "cat_Norvane", "FolderSave", "Folder where to save the extracted images.", kStored, kOnLoad},
    {"iaNomFichierImage", Integer, "NomFichierImage", "fname", "0", "", "cat_ImageName",
     "NomFichierImage", "Use root or file name", kStored, kOnLoad},
    {"waDefaultRacine", Widestring, "DefaultRacine", "root", "Kadrex", "", "cat_ImageName",
     "DefaultRacine", "Indicates a root used to form the name of grabbed images.", kStored,
     kOnLoad},
    {"baLimiterLongueur", Boolean, "LimiterLongueur", "limit", "False", "", "cat_ImageName",
     "LimiterLongueur", "", kStored, kOnLoad},
    {"iaRacineLength", Integer, "RacineLength", "rootlen", "8", "", "cat_ImageName", "RacineLength",
     "", kStored, kOnLoad},
    {"iaImageAjouter", Integer, "ImageAjouter", "addi", "0", "", "cat_ImageName", "ImageAjouter",
     "", kStored, kOnLoad},
    {"iaDigits", Integer, "Digits", "dig", "3", "", "cat_ImageName", "Digits", "", kStored,
     kOnLoad},
    {"iaNextNum", Integer, "NextNum", "n", "1", "", "cat_ImageName", "NextNum", "", kStored,
     kOnLoad},
    {"baRAZWhenOpenFile", Boolean, "RAZWhenOpenFile", "raz", "True", "", "cat_Norvane",
     "RAZWhenOpenFile", "", kStored, kOnLoad},
    {"iaImageExtension", Integer, "ImageExtension", "iex", "0", "", "cat_ImageName",
     "ImageExtension", "", kStored, kOnLoad},
    {"iaJpegCompressionQuality", Integer, "JpegCompressionQuality", "qual", "50", "",
     "cat_ImageName", "JpegCompressionQuality", "", kStored, kOnLoad},
    {"baConfirmerImage", Boolean, "ConfirmerImage", "ci", "True", "", "cat_Norvane",
     "ConfirmerImage",
     "Ask for confirmation before overwriting an existing image when saving a new image.", kStored,
     kOnLoad},
    {"naAjouterTimeStamp", Nope, "AjouterTimeStamp", "as", nullptr, "", "cat_ImageName",
     "AddTimeStamp", "", kStored, kNotOnLoad},
    {"naAjouterNumero", Nope, "AjouterNumero", "an", nullptr, "", "cat_ImageName", "Add Number", "",
     kStored, kNotOnLoad},
    {"naBmpExtension", Nope, "BmpExtension", "eb", nullptr, "", "cat_ImageName", "Extension Bmp",
     "", kStored, kNotOnLoad},
    {"naJpegExtension", Nope, "JpegExtension", "ej", nullptr, "", "cat_ImageName", "Extension Jpeg",
     "", kStored, kNotOnLoad},

    // DV date: time difference and %D formats.
    {"caDecalageAvance", Check, "DecalageAvance", "da", "False", "", "cat_Incruster", "Advanced",
     "", kStored, kOnLoad, nullptr, nullptr, nullptr,
     "Enable the ability to set a time difference that is not a whole number of hours"},
    {"daDecalageHoraire", Double, "DecalageHoraire", "dh", "0", "", "cat_Incruster",
     "DecalageHoraire", "Set a Time difference.", kStored, kOnLoad},
    {"waFormatDatecode1", Widestring, "FormatDatecode1", "fd1", "ddddd", "", "cat_Incruster",
     "FormatDatecode1", "Format of Datecode in the first line", kStored, kOnLoad},
    {"waFormatDatecode2", Widestring, "FormatDatecode2", "fd2", "tt", "", "cat_Incruster",
     "FormatDatecode2", "Format of Datecode in the second line", kStored, kOnLoad},

    // Inlay: templates, insert commands, styling, and the insert mode last.
    {"waIncrustPattern1", Widestring, "IncrustPattern1", "ipat1", "No inlay has been defined.", "",
     "cat_Incruster", "IncrustPattern1", "", kStored, kOnLoad},
    {"waIncrustPattern2", Widestring, "IncrustPattern2", "ipat2", " \"%F\"", "", "cat_Incruster",
     "IncrustPattern2", "", kStored, kOnLoad},
    {"waInsertPerso1", Widestring, "InsertPerso1", "p1", "Kadrex", "", "cat_Insert", "InsertPerso1",
     "Template for inlay of the first line", kStored, kOnLoad},
    {"waInsertPerso2", Widestring, "InsertPerso2", "p2", "Kadrex by Norvane", "", "cat_Insert",
     "InsertPerso2", "Template for inlay of the second line", kStored, kOnLoad},
    {"naInsertTimestamp", Nope, "InsertTimestamp", "is", nullptr, "Ctrl+S", "cat_Insert",
     "Timestamp", "", kStored, kNotOnLoad},
    {"naInsertNumero", Nope, "InsertNumero", "in", nullptr, "Ctrl+N", "cat_Insert", "Number", "",
     kStored, kNotOnLoad},
    {"naInsertTimecode", Nope, "InsertTimecode", "it", nullptr, "Ctrl+T", "cat_Insert", "Timecode",
     "", kStored, kNotOnLoad},
    {"naInsertDatecode", Nope, "InsertDatecode", "id", nullptr, "Ctrl+D", "cat_Insert", "Datecode",
     "", kStored, kNotOnLoad},
    {"naInsertSysdateTime", Nope, "InsertSysdateTime", "ir", nullptr, "Ctrl+R", "cat_Insert",
     "Real date and time", "", kStored, kNotOnLoad},
    {"naInsertPerso", Nope, "InsertPerso", "ip", nullptr, "Ctrl+P", "cat_Insert", "Personalized",
     "", kStored, kNotOnLoad},
    {"naSoustitres", Nope, "Soustitres", "sub", nullptr, "", "cat_Norvane", "Subtitles",
     "Center the inlayed text in the video\r\nas if it was a subtitle", kStored, kNotOnLoad},
    {"caSliders", Check, "Sliders", "isl", "False", "Ctrl+L", "cat_Incruster", "Sliders", "",
     kStored, kOnLoad, "Hide sliders", "Display Sliders"},
    {"caIncrustBold", Check, "IncrustBold", "", "False", "", "cat_Incruster", "IncrustBold", "",
     kStored, kOnLoad},
    {"caIncrustItalic", Check, "IncrustItalic", "", "False", "", "cat_Incruster", "IncrustItalic",
     "", kStored, kNotOnLoad},
    {"caIncrustUnderline", Check, "IncrustUnderline", "", "False", "", "cat_Incruster",
     "IncrustUnderline", "", kStored, kNotOnLoad},
    {"caIncrustStrikeOut", Check, "IncrustStrikeOut", "", "False", "", "cat_Incruster",
     "IncrustStrikeOut", "", kStored, kNotOnLoad},
    {"waInsertFontName", Widestring, "InsertFontName", "ifname", "", "", "cat_Incruster",
     "InsertFontName", "", kStored, kNotOnLoad},
    {"laInsertFontColor", Color, "InsertFontColor", "ifCol", "clBlack", "", "cat_Incruster",
     "InsertFontColor", "", kStored, kNotOnLoad},
    {"iaInsertFontSize", Integer, "InsertFontSize", "ifSize", "0", "", "cat_Incruster",
     "InsertFontSize", "", kStored, kOnLoad},
    {"baInsertAutoSize", Boolean, "InsertAutoSize", "auto", "True", "Ctrl+\\", "cat_Incruster",
     "InsertAutoSize", "", kStored, kOnLoad},
    {"iaInsertMode", Integer, "InsertMode", "", "0", "", "cat_Insert", "InsertMode", "", kStored,
     kOnLoad},

    // Intervalometer.
    {"caIntervalloShow", Check, "IntervalloShow", "si", "False", "Alt+J", "cat_Intervallo",
     "IntervalloShow", "", kNotStored, kNotOnLoad, "Hide the intervalometer",
     "Display the intervalometer"},
    {"iaIntervalloDelai", Integer, "IntervalloDelai", "idelai", "0", "", "cat_Intervallo",
     "IntervalloDelai", "Delay between two images extracted by the intervalometer\r\n(in units)",
     kStored, kOnLoad},
    {"iaIntervalloUnit", Integer, "IntervalloUnit", "iunit", "0", "", "cat_Intervallo",
     "IntervalloUnit", "", kStored, kOnLoad},
    {"naIntervalloStart", Nope, "IntervalloStart", "inter", nullptr, "Ctrl+J", "cat_Intervallo",
     "IntervalloStart", "Start the intervalometer", kNotStored, kNotOnLoad},
    {"naIntervalloBreak", Nope, "IntervalloBreak", "br", nullptr, "Shift+Ctrl+J", "cat_Intervallo",
     "IntervalloBreak", "Abort the intervalometer", kNotStored, kNotOnLoad},

    // Scripts.
    {"naExecuteScript", Nope, "ExecuteScript", "exec", nullptr, "Ctrl+F12", "cat_Scripts",
     "ExecuteScript", "Execute the current script", kStored, kNotOnLoad},
    {"caConserverScript", Check, "ConserverScript", "", "True", "", "cat_Scripts",
     "ConserverScript", "", kStored, kOnLoad},
    {"waDossierScripts", Widestring, "DossierScripts", "", nullptr /* documents folder */, "",
     "cat_Scripts", "DossierScripts", "", kStored, kOnLoad},

    // Private decoder packages: the folder installs them, the switch uses them.
    {"waPrivateFolder", Widestring, "waLAVFolder", "privf", nullptr /* executable's folder */, "",
     "cat_Norvane", "PrivateFolder", "Folder where are located the Private Filters", kStored,
     kOnLoad},
    {"baUsePrivateFilters", Boolean, "UsePrivateFilters", "priv", "True", "", "cat_Norvane",
     "UsePrivateFilters", "Use the Private filters (Recommanded)", kStored, kOnLoad},
};

} // namespace

std::span<const TActionDef> ShowFormActionTable()
{
    return kShowFormActions;
}
