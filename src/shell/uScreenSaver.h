#pragma once
// Keeps the screen saver off while the program runs, through the freedesktop
// ScreenSaver service on the session bus. Best effort: without a session bus
// or the service nothing happens and nothing is reported.

#include <QtGlobal>

class TScreenSaverInhibitor
{
public:
    TScreenSaverInhibitor() = default;
    ~TScreenSaverInhibitor() { Release(); }
    TScreenSaverInhibitor(const TScreenSaverInhibitor &) = delete;
    TScreenSaverInhibitor &operator=(const TScreenSaverInhibitor &) = delete;

    void Inhibit();
    void Release();
    bool Active() const { return m_cookie != 0; }

private:
    quint32 m_cookie = 0;
};
