#pragma once
// Names and version of the product, as shown in the title bar and stored with
// the preferences.

#include <QString>

namespace product {

inline constexpr const char *kTitle = "Kadrex"; // preference key / ini file name
inline constexpr const char *kMaker = "Norvane";
inline constexpr const char *kVersion = "6.2.1";
inline constexpr const char *kLanguage = "en";

// "Kadrex 6.2.1 en"
QString fullName();
// "Kadrex 6.2.1 en by Norvane"
QString versionText();

} // namespace product
