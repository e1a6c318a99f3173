#include "platform/qt/qtconvert.h"

#include "platform/widgets/control.h"

#include <map>

namespace {

// Substitutes for the Windows faces the form descriptions name.
const std::map<std::string, QString>& FaceSubstitutes()
{
    static const std::map<std::string, QString> faces = {
        {"MS Sans Serif", QStringLiteral("Liberation Sans")},
        {"Microsoft Sans Serif", QStringLiteral("Liberation Sans")},
        {"Arial", QStringLiteral("Liberation Sans")},
        {"Tahoma", QStringLiteral("DejaVu Sans")},
    };
    return faces;
}

// A positive height is the whole cell (ascent plus descent); this share of it is the em size.
constexpr double kEmShareOfCell = 0.87;

} // namespace

QFont ToQFont(const TFont& Font)
{
    const auto it = FaceSubstitutes().find(Font.Name);
    QFont font(it != FaceSubstitutes().end() ? it->second : ToQString(Font.Name));
    font.setStyleHint(QFont::SansSerif);
    const int pixels = Font.Height < 0 ? -Font.Height : static_cast<int>(Font.Height * kEmShareOfCell + 0.5);
    font.setPixelSize(pixels > 0 ? pixels : 1);
    font.setBold((Font.Style & fsBold) != 0);
    font.setItalic((Font.Style & fsItalic) != 0);
    font.setUnderline((Font.Style & fsUnderline) != 0);
    font.setStrikeOut((Font.Style & fsStrikeOut) != 0);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

Qt::CursorShape ToQCursorShape(int Cursor)
{
    switch (Cursor) {
    case crHandPoint: return Qt::PointingHandCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crHourGlass: return Qt::WaitCursor;
    default: return Qt::ArrowCursor;
    }
}
