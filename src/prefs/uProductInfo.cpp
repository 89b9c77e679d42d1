#include "uProductInfo.h"

namespace product {

QString fullName()
{
    return QStringLiteral("%1 %2 %3").arg(kTitle, kVersion, kLanguage);
}

QString versionText()
{
    return QStringLiteral("%1 by %2").arg(fullName(), kMaker);
}

} // namespace product
