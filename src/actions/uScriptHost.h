#pragma once
// What actions and action lists need of the script engine: declaring a
// procedure from its Pascal text, bound to a callable that receives the
// call's arguments, and a chain of compile handlers run when a script is
// compiled. The engine itself implements this interface.

#include <QObject>
#include <QVariantList>

#include <functional>

class TScriptHost : public QObject
{
    Q_OBJECT
public:
    using TProcedure = std::function<void(const QVariantList &args)>;
    using TCompileHandler = std::function<void(TScriptHost *host)>;

    using QObject::QObject;

    // Declares "procedure Name(...);" bound to proc; false when the text is
    // rejected (an empty name, a name already declared, a syntax error).
    virtual bool DeclareProcedure(const QString &declaration, TProcedure proc) = 0;

    // Run by the engine when a script is compiled, before the script itself.
    TCompileHandler OnCompile;
};
