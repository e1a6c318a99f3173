#pragma once
// Conversions between the program's values and Qt's.

#include "platform/graphics/font.h"
#include "platform/graphics/graphics.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/widgethandle.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <string>

inline QString ToQString(const std::string& Text)
{
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

inline std::string FromQString(const QString& Text)
{
    return Text.toUtf8().toStdString();
}

// A widget handle is a QWidget's address under another type.
inline TWidgetHandle ToWidgetHandle(QWidget* Widget)
{
    return reinterpret_cast<TWidgetHandle>(Widget);
}

inline QWidget* ToQWidget(TWidgetHandle Handle)
{
    return reinterpret_cast<QWidget*>(Handle);
}

inline QColor ToQColor(TColor C)
{
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

// The forms ask for the classic 8-point dialog font; an installed sans-serif
// face with the same metrics stands in for it.
QFont ToQFont(const TFont& Font);

// The pointer shape of a Cursor value (crHandPoint, ...); the arrow for others.
Qt::CursorShape ToQCursorShape(int Cursor);

// Qt's key for a virtual-key code (letters, digits, VK_RETURN, VK_ESCAPE,
// VK_SPACE, VK_F1 to VK_F12); Qt::Key_unknown for any other.
Qt::Key ToQtKey(int VirtualKey);
// The shortcut of a key press, or scNone for a key without a virtual-key code.
TShortCut ToShortCut(int QtKey, Qt::KeyboardModifiers Modifiers);
// "Esc", "Ctrl+L": how a menu shows a shortcut beside its caption.
QString ShortCutText(TShortCut ShortCut);

// Turns "&Start" into Qt's mnemonic form (Qt uses the same '&' convention).
inline QString ToQMnemonic(const std::string& Caption)
{
    return ToQString(Caption);
}
