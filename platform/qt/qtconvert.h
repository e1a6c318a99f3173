#pragma once
// Conversions between the program's values and Qt's.

#include "platform/graphics/font.h"
#include "platform/graphics/graphics.h"
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

// Turns "&Start" into Qt's mnemonic form (Qt uses the same '&' convention).
inline QString ToQMnemonic(const std::string& Caption)
{
    return ToQString(Caption);
}
