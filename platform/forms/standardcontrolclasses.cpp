// The standard controls, menus and dialogs that form descriptions may name.

#include "platform/dialogs/opendialog.h"
#include "platform/kernel/classregistry.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/image.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/mainmenu.h"
#include "platform/widgets/panel.h"
#include "platform/widgets/progressbar.h"
#include "platform/widgets/radiobutton.h"
#include "platform/widgets/shape.h"
#include "platform/widgets/trackbar.h"

namespace {

TElementNames OpenOptions()
{
    return {{"ofReadOnly", ofReadOnly},           {"ofHideReadOnly", ofHideReadOnly},
            {"ofNoChangeDir", ofNoChangeDir},     {"ofPathMustExist", ofPathMustExist},
            {"ofFileMustExist", ofFileMustExist}, {"ofEnableSizing", ofEnableSizing}};
}

void RegisterButtons()
{
    RegisterComponentClass<TButton>("TButton", "TWinControl",
                                    {Property("Default", &TButton::SetDefault), Property("Cancel", &TButton::SetCancel),
                                     Property("ModalResult", &TButton::SetModalResult)});
    RegisterComponentClass<TCheckBox>("TCheckBox", "TWinControl", {Property("Checked", &TCheckBox::SetChecked)});
    RegisterComponentClass<TRadioButton>("TRadioButton", "TWinControl",
                                         {Property("Checked", &TRadioButton::SetChecked)});
    RegisterComponentClass<TTrackBar>("TTrackBar", "TWinControl",
                                      {Property("Min", &TTrackBar::SetMin), Property("Max", &TTrackBar::SetMax),
                                       Property("Position", &TTrackBar::SetPosition),
                                       Property("OnChange", &TTrackBar::SetOnChange)});
    RegisterComponentClass<TProgressBar>("TProgressBar", "TWinControl",
                                         {Property("Min", &TProgressBar::SetMin), Property("Max", &TProgressBar::SetMax),
                                          Property("Position", &TProgressBar::SetPosition),
                                          Property("Smooth", &TProgressBar::SetSmooth)});
}

void RegisterGraphics()
{
    RegisterComponentClass<TShape>("TShape", "TGraphicControl",
                                   {Property("Pen.Color", &TShape::SetPenColor),
                                    Property("Brush.Color", &TShape::SetBrushColor)});
    using B = TBevelCut;
    RegisterEnumeration<TBevelCut>(
        {{"bvNone", B::bvNone}, {"bvLowered", B::bvLowered}, {"bvRaised", B::bvRaised}, {"bvSpace", B::bvSpace}});
    RegisterComponentClass<TPanel>("TPanel", "TCustomControl",
                                   {Property("BevelOuter", &TPanel::SetBevelOuter),
                                    Property("BevelInner", &TPanel::SetBevelInner),
                                    Property("BevelWidth", &TPanel::SetBevelWidth)});
    RegisterComponentClass<TImage>(
        "TImage", "TGraphicControl",
        {Property("Stretch", &TImage::SetStretch),
         // The name of an embedded bitmap: Picture = 'AboutIcon' shows bitmaps/AboutIcon.bmp.
         CustomProperty<TImage>("Picture", [](TImage& Image, const TFormValue& Value) {
             if (!Image.LoadFromResource(Value.AsString()))
                 throw EFormValueError("no such bitmap");
         })});
}

void RegisterListView()
{
    using V = TViewStyle;
    RegisterEnumeration<TViewStyle>(
        {{"vsIcon", V::vsIcon}, {"vsSmallIcon", V::vsSmallIcon}, {"vsList", V::vsList}, {"vsReport", V::vsReport}});
    RegisterComponentClass<TListView>("TListView", "TWinControl",
                                      {Property("ViewStyle", &TListView::SetViewStyle),
                                       Property("ReadOnly", &TListView::SetReadOnly),
                                       Property("ColumnClick", &TListView::SetColumnClick)});
}

void RegisterMenus()
{
    RegisterComponentClass<TMenuItem>("TMenuItem", "TComponent",
                                      {Property("Caption", &TMenuItem::SetCaption),
                                       Property("Enabled", &TMenuItem::SetEnabled),
                                       Property("Visible", &TMenuItem::SetVisible),
                                       Property("ShortCut", &TMenuItem::SetShortCut),
                                       Property("Checked", &TMenuItem::SetChecked),
                                       Property("RadioItem", &TMenuItem::SetRadioItem),
                                       Property("OnClick", &TMenuItem::SetOnClick)});
    RegisterComponentClass<TMainMenu>("TMainMenu", "TComponent");
    auto adopt = [](TMenuItem& Parent, TComponent& Child) {
        auto* item = dynamic_cast<TMenuItem*>(&Child);
        if (!item)
            throw EFormValueError("only menu items go into a menu:");
        Parent.Add(item);
    };
    ClassRegistry().SetAdoptChild("TMenuItem", [adopt](TComponent& Parent, TComponent& Child) {
        adopt(static_cast<TMenuItem&>(Parent), Child);
    });
    ClassRegistry().SetAdoptChild("TMainMenu", [adopt](TComponent& Parent, TComponent& Child) {
        adopt(*static_cast<TMainMenu&>(Parent).Items(), Child);
    });
    RegisterComponentClass<TOpenDialog>(
        "TOpenDialog", "TComponent",
        {Property("Filter", &TOpenDialog::SetFilter), Property("FilterIndex", &TOpenDialog::SetFilterIndex),
         SetProperty("Options", &TOpenDialog::SetOptions, OpenOptions()),
         Property("FileName", &TOpenDialog::SetFileName), Property("InitialDir", &TOpenDialog::SetInitialDir),
         Property("Title", &TOpenDialog::SetTitle)});
}

} // namespace

void RegisterStandardControlClasses()
{
    RegisterButtons();
    RegisterGraphics();
    RegisterListView();
    RegisterMenus();
}
