#include "platform/win32/winfont.h"

#include "platform/win32/widetext.h"

#include <map>
#include <tuple>

HFONT GdiFont(const TFont& Font)
{
    using TKey = std::tuple<std::string, int, unsigned>;
    static std::map<TKey, HFONT> fonts;
    const TKey key{Font.Name, Font.Height, Font.Style};
    const auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second;
    LOGFONTW logFont{};
    logFont.lfHeight = Font.Height;
    logFont.lfWeight = (Font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (Font.Style & fsItalic) ? TRUE : FALSE;
    logFont.lfUnderline = (Font.Style & fsUnderline) ? TRUE : FALSE;
    logFont.lfStrikeOut = (Font.Style & fsStrikeOut) ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = WideText(Font.Name);
    lstrcpynW(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logFont);
    fonts[key] = font;
    return font;
}
