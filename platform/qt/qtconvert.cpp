#include "platform/qt/qtconvert.h"

#include "platform/widgets/control.h"

#include <QKeySequence>

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

constexpr int kVirtualKeyMask = 0xFF; // the key's code within a shortcut

// The keys whose codes differ between the two: (virtual key, Qt key).
constexpr std::pair<int, Qt::Key> kNamedKeys[] = {
    {VK_RETURN, Qt::Key_Return}, {VK_ESCAPE, Qt::Key_Escape}, {VK_SPACE, Qt::Key_Space}};

bool IsLetterOrDigit(int Code)
{
    return (Code >= 'A' && Code <= 'Z') || (Code >= '0' && Code <= '9');
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

Qt::Key ToQtKey(int VirtualKey)
{
    for (const auto& [virtualKey, qtKey] : kNamedKeys)
        if (virtualKey == VirtualKey)
            return qtKey;
    // Letters and digits have the same codes in both.
    if (IsLetterOrDigit(VirtualKey))
        return static_cast<Qt::Key>(VirtualKey);
    if (VirtualKey >= VK_F1 && VirtualKey <= VK_F12)
        return static_cast<Qt::Key>(Qt::Key_F1 + (VirtualKey - VK_F1));
    return Qt::Key_unknown;
}

TShortCut ToShortCut(int QtKey, Qt::KeyboardModifiers Modifiers)
{
    int code = 0;
    for (const auto& [virtualKey, qtKey] : kNamedKeys)
        if (qtKey == QtKey)
            code = virtualKey;
    if (IsLetterOrDigit(QtKey))
        code = QtKey;
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F12)
        code = VK_F1 + (QtKey - Qt::Key_F1);
    if (QtKey == Qt::Key_Enter) // the keypad's Enter
        code = VK_RETURN;
    if (code == 0)
        return scNone;
    TShortCut shortCut = code;
    shortCut |= Modifiers.testFlag(Qt::ShiftModifier) ? scShift : 0;
    shortCut |= Modifiers.testFlag(Qt::ControlModifier) ? scCtrl : 0;
    shortCut |= Modifiers.testFlag(Qt::AltModifier) ? scAlt : 0;
    return shortCut;
}

QString ShortCutText(TShortCut ShortCut)
{
    const Qt::Key key = ToQtKey(ShortCut & kVirtualKeyMask);
    if (ShortCut == scNone || key == Qt::Key_unknown)
        return QString();
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, (ShortCut & scShift) != 0);
    modifiers.setFlag(Qt::ControlModifier, (ShortCut & scCtrl) != 0);
    modifiers.setFlag(Qt::AltModifier, (ShortCut & scAlt) != 0);
    return QKeySequence(QKeyCombination(modifiers, key)).toString(QKeySequence::NativeText);
}
