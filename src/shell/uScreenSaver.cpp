#include "uScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

namespace {

QDBusMessage screenSaverCall(const char *method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QString::fromLatin1(method));
}

} // namespace

void TScreenSaverInhibitor::Inhibit()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (m_cookie || !bus.isConnected())
        return;
    QDBusMessage call = screenSaverCall("Inhibit");
    call << QStringLiteral("Kadrex") << QStringLiteral("Watching and grabbing video");
    const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        m_cookie = reply.arguments().first().toUInt();
}

void TScreenSaverInhibitor::Release()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_cookie || !bus.isConnected())
        return;
    QDBusMessage call = screenSaverCall("UnInhibit");
    call << m_cookie;
    bus.call(call, QDBus::NoBlock);
    m_cookie = 0;
}
