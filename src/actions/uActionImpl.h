#pragma once
// Small helpers shared by the action classes' implementation files.

#include "uScriptAction.h"

#include <QVariantList>

namespace actionimpl {

// Clears MacroNesting on the way out when this action set it, also when a
// handler throws.
class NestingGuard
{
public:
    explicit NestingGuard(bool set) : m_set(set) {}
    ~NestingGuard()
    {
        if (m_set)
            MacroNesting = false;
    }
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;

private:
    bool m_set;
};

inline QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Pascal string literal body: a quote inside the text is doubled, so that a
// recorded line always compiles.
inline QString pascalQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

// The i-th argument of a script call, or an empty value when it is missing.
inline QVariant arg(const QVariantList &args, int i)
{
    return i < args.size() ? args.at(i) : QVariant();
}

} // namespace actionimpl
