#pragma once
// What the navigation manager needs of the position box and the position
// slider of the navigation bar. The widgets stand behind these (the widget
// half, uNavWidgets, binds a QLineEdit and a QSlider); tests use plain objects.

#include <QString>

class TNavPositionEdit
{
public:
    virtual ~TNavPositionEdit() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString &text) = 0;
    // Italic silver while a seek runs, upright black otherwise.
    virtual void SetSeekLook(bool seeking) = 0;
    // Moves the focus on to the next control (after Enter).
    virtual void FocusNext() = 0;
};

class TNavSlider
{
public:
    virtual ~TNavSlider() = default;
    // Moves the slider without raising its changed event.
    virtual void SetValue(int value) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
};
