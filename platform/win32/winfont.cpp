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
    LOGFONTW spec{};
    spec.lfHeight = Font.Height;
    spec.lfWeight = (Font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    spec.lfItalic = (Font.Style & fsItalic) ? TRUE : FALSE;
    spec.lfUnderline = (Font.Style & fsUnderline) ? TRUE : FALSE;
    spec.lfStrikeOut = (Font.Style & fsStrikeOut) ? TRUE : FALSE;
    spec.lfCharSet = DEFAULT_CHARSET;
    spec.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = WideText(Font.Name);
    lstrcpynW(spec.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&spec);
    fonts[key] = font;
    return font;
}
