// The classes, enumerations and constants of the class library that form
// descriptions may name.

#include "platform/forms/form.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/customcontrol.h"
#include "platform/widgets/graphiccontrol.h"
#include "platform/widgets/label.h"
#include "platform/widgets/mainmenu.h"

namespace {

// Character sets of the description's fonts; the toolkit picks glyphs by Unicode.
constexpr int64_t kDefaultCharset = 1;
constexpr int64_t kAnsiCharset = 0;

// Element tables are made on use: registration may run before this file's
// static objects exist.
TElementNames FontStyles()
{
    return {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}};
}

TElementNames Anchors()
{
    return {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};
}

TElementNames BorderIcons()
{
    return {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}};
}

void RegisterConstants()
{
    const std::pair<const char*, int64_t> constants[] = {
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clBtnFace", clBtnFace}, {"clWindow", clWindow}, {"clWindowText", clWindowText},
        {"crDefault", crDefault}, {"crArrow", crArrow}, {"crIBeam", crIBeam}, {"crHourGlass", crHourGlass},
        {"crHandPoint", crHandPoint}, {"DEFAULT_CHARSET", kDefaultCharset}, {"ANSI_CHARSET", kAnsiCharset},
        {"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort}, {"mrRetry", mrRetry},
        {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo},
    };
    for (const auto& [name, value] : constants)
        RegisterIntegerConstant(name, value);
}

// Font.Name, Font.Height, Font.Color, Font.Style; Font.Charset is accepted and
// has no effect.
std::vector<TPropertyInfo> FontProperties()
{
    auto change = [](auto Apply) {
        return [Apply](TControl& Control, const TFormValue& Value) {
            TFont font = Control.Font();
            Apply(font, Value);
            Control.SetFont(font);
        };
    };
    return {
        CustomProperty<TControl>("Font.Name", change([](TFont& f, const TFormValue& v) { f.Name = v.AsString(); })),
        CustomProperty<TControl>("Font.Height",
                                 change([](TFont& f, const TFormValue& v) { f.Height = static_cast<int>(v.AsInteger()); })),
        CustomProperty<TControl>("Font.Color",
                                 change([](TFont& f, const TFormValue& v) { f.Color = static_cast<TColor>(v.AsInteger()); })),
        CustomProperty<TControl>("Font.Style", change([](TFont& f, const TFormValue& v) {
                                     f.Style = static_cast<TFontStyles>(v.AsSet(FontStyles()));
                                 })),
        CustomProperty<TControl>("Font.Charset", [](TControl&, const TFormValue& v) { v.AsInteger(); }),
    };
}

void RegisterControlClasses()
{
    RegisterComponentClass<TComponent>("TComponent", "", {Property("Tag", &TComponent::SetTag)});
    std::vector<TPropertyInfo> control = {
        Property("Left", &TControl::SetLeft),       Property("Top", &TControl::SetTop),
        Property("Width", &TControl::SetWidth),     Property("Height", &TControl::SetHeight),
        Property("Visible", &TControl::SetVisible), Property("Enabled", &TControl::SetEnabled),
        Property("Caption", &TControl::SetCaption), Property("Color", &TControl::SetColor),
        Property("ParentColor", &TControl::SetParentColor), Property("ParentFont", &TControl::SetParentFont),
        Property("Hint", &TControl::SetHint),       Property("ShowHint", &TControl::SetShowHint),
        SetProperty("Anchors", &TControl::SetAnchors, Anchors()),
        Property("Cursor", &TControl::SetCursor),   Property("OnClick", &TControl::SetOnClick),
    };
    for (TPropertyInfo& font : FontProperties())
        control.push_back(std::move(font));
    RegisterComponentClass<TControl>("TControl", "TComponent", std::move(control));
    RegisterComponentClass<TWinControl>("TWinControl", "TControl", {Property("TabOrder", &TWinControl::SetTabOrder)});
    RegisterComponentClass<TCustomControl>("TCustomControl", "TWinControl");
    RegisterComponentClass<TGraphicControl>("TGraphicControl", "TControl");
    RegisterEnumeration<TAlignment>({{"taLeftJustify", TAlignment::taLeftJustify},
                                     {"taRightJustify", TAlignment::taRightJustify},
                                     {"taCenter", TAlignment::taCenter}});
    RegisterComponentClass<TLabel>("TLabel", "TControl",
                                   {Property("AutoSize", &TLabel::SetAutoSize),
                                    Property("Alignment", &TLabel::SetAlignment),
                                    Property("WordWrap", &TLabel::SetWordWrap),
                                    Property("Transparent", &TLabel::SetTransparent)});
    RegisterComponentClass<TTimer>("TTimer", "TComponent",
                                   {Property("Enabled", &TTimer::SetEnabled), Property("Interval", &TTimer::SetInterval),
                                    Property("OnTimer", &TTimer::SetOnTimer)});
}

void RegisterFormClass()
{
    using B = TFormBorderStyle;
    RegisterEnumeration<TFormBorderStyle>({{"bsNone", B::bsNone}, {"bsSingle", B::bsSingle},
                                           {"bsSizeable", B::bsSizeable}, {"bsDialog", B::bsDialog},
                                           {"bsToolWindow", B::bsToolWindow}, {"bsSizeToolWin", B::bsSizeToolWin}});
    using P = TPosition;
    RegisterEnumeration<TPosition>({{"poDesigned", P::poDesigned}, {"poDefault", P::poDefault},
                                    {"poScreenCenter", P::poScreenCenter}, {"poDesktopCenter", P::poDesktopCenter},
                                    {"poMainFormCenter", P::poMainFormCenter}});
    RegisterComponentClass<TForm>("TForm", "TWinControl",
                                  {Property("ClientWidth", &TForm::SetClientWidth),
                                   Property("ClientHeight", &TForm::SetClientHeight),
                                   Property("BorderStyle", &TForm::SetBorderStyle),
                                   SetProperty("BorderIcons", &TForm::SetBorderIcons, BorderIcons()),
                                   Property("Position", &TForm::SetPosition), Property("Menu", &TForm::SetMenu),
                                   Property("OnCreate", &TForm::SetOnCreate), Property("OnShow", &TForm::SetOnShow),
                                   Property("OnPaint", &TForm::SetOnPaint),
                                   Property("OnCloseQuery", &TForm::SetOnCloseQuery)});
}

} // namespace

void RegisterStandardClasses()
{
    RegisterConstants();
    RegisterControlClasses();
    RegisterFormClass();
    RegisterStandardControlClasses();
}
