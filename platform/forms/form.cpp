#include "platform/forms/form.h"

#include "platform/forms/application.h"
#include "platform/forms/formloader.h"
#include "platform/widgets/button.h"
#include "platform/widgets/mainmenu.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    InitVisible(false);
    SetParentFont(false);
    SetParentColor(false);
}

TForm::~TForm()
{
    Destroying();
    DestroyComponents();
}

TFormPeer* TForm::FormPeer() const
{
    return static_cast<TFormPeer*>(Peer());
}

void TForm::DoCreate()
{
    if (FOnCreate)
        FOnCreate(this);
}

const std::any* TForm::FindHandler(const std::string& Name) const
{
    const auto it = FHandlers.find(Name);
    return it == FHandlers.end() ? nullptr : &it->second;
}

bool TForm::BindField(const std::string& Name, TComponent* Component)
{
    const auto it = FFields.find(Name);
    if (it == FFields.end())
        return true;
    if (!it->second.Assign(Component))
        return false;
    it->second.Bound = true;
    return true;
}

std::vector<std::string> TForm::UnboundFields() const
{
    std::vector<std::string> unbound;
    for (const auto& [name, field] : FFields)
        if (!field.Bound)
            unbound.push_back(name);
    return unbound;
}

void TForm::AddFormDescription(const std::string& Name)
{
    FDescriptions.push_back(Name);
}

void TForm::LoadFormDescriptions()
{
    ReadFormDescriptions(*this, FDescriptions);
    DoCreate();
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    FBorderStyle = Value;
    ApplyBorder();
}

void TForm::SetBorderIcons(TBorderIcons Value)
{
    FBorderIcons = Value;
    ApplyBorder();
}

void TForm::ApplyBorder()
{
    const bool sizeable = FBorderStyle == TFormBorderStyle::bsSizeable || FBorderStyle == TFormBorderStyle::bsSizeToolWin;
    const bool dialog = FBorderStyle == TFormBorderStyle::bsDialog;
    if (TFormPeer* peer = FormPeer())
        peer->SetBorder(sizeable, (FBorderIcons & biSystemMenu) != 0, !dialog && (FBorderIcons & biMinimize),
                        !dialog && sizeable && (FBorderIcons & biMaximize));
}

void TForm::SetMenu(TMainMenu* Value)
{
    if (Value == FMenu)
        return;
    FMenu = Value;
    if (FMenu)
        FMenu->FreeNotification(this);
    AttachMenu();
}

void TForm::AttachMenu()
{
    if (TFormPeer* peer = FormPeer())
        peer->SetMenuWidget(FMenu ? FMenu->Peer().Widget() : nullptr);
}

void TForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMenu && FMenu) {
        FMenu = nullptr;
        AttachMenu();
    }
}

namespace {

// The first visible, enabled button below Parent that Pick accepts.
template <class F>
TButton* FindButton(const TWinControl& Parent, F Pick)
{
    for (int i = 0; i < Parent.ControlCount(); ++i) {
        TControl* control = Parent.Controls(i);
        if (!control->Visible() || !control->Enabled())
            continue;
        if (auto* button = dynamic_cast<TButton*>(control); button && Pick(*button))
            return button;
        if (auto* window = dynamic_cast<TWinControl*>(control))
            if (TButton* inner = FindButton(*window, Pick))
                return inner;
    }
    return nullptr;
}

// The enabled, visible item below Parent (in enabled, visible menus) with that shortcut.
TMenuItem* FindShortCut(const TMenuItem& Parent, TShortCut Key)
{
    for (int i = 0; i < Parent.Count(); ++i) {
        TMenuItem* item = Parent.Items(i);
        if (!item->Enabled() || !item->Visible())
            continue;
        if (item->Count() == 0 && item->ShortCut() == Key)
            return item;
        if (TMenuItem* inner = FindShortCut(*item, Key))
            return inner;
    }
    return nullptr;
}

} // namespace

bool TForm::ShortCutKey(TShortCut Key)
{
    TMenuItem* item = Key != scNone && FMenu ? FindShortCut(*FMenu->Items(), Key) : nullptr;
    if (!item)
        return false;
    item->Click();
    return true;
}

bool TForm::DialogKey(bool Escape)
{
    TButton* button = Escape ? FindButton(*this, [](const TButton& b) { return b.Cancel(); })
                             : FindButton(*this, [](const TButton& b) { return b.Default(); });
    if (!button)
        return false;
    button->Click();
    return true;
}

TForm* GetParentForm(const TControl* Control)
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (auto* form = dynamic_cast<const TForm*>(c))
            return const_cast<TForm*>(form);
    return nullptr;
}

void TForm::SetVisible(bool Value)
{
    if (Value == Visible())
        return;
    if (Value) {
        // OnShow runs as the form becomes visible, before its first paint.
        if (FOnShow)
            FOnShow(this);
        HandleNeeded();
        if (FPosition == TPosition::poScreenCenter || FPosition == TPosition::poDesktopCenter)
            if (TFormPeer* peer = FormPeer())
                peer->CenterOnScreen();
    }
    TWinControl::SetVisible(Value);
}

int TForm::ShowModal()
{
    FModalResult = mrNone;
    FModal = true;
    HandleNeeded();
    FormPeer()->SetModal(true);
    try {
        Show();
        if (Application.ModalHook())
            Application.ModalHook()(this);
        while (FModalResult == mrNone && Visible() && !Application.Terminated())
            Application.WaitAndProcessMessages();
    } catch (...) {
        FModal = false;
        Hide();
        FormPeer()->SetModal(false);
        throw;
    }
    FModal = false;
    Hide();
    FormPeer()->SetModal(false);
    if (FModalResult == mrNone)
        FModalResult = mrCancel;
    return FModalResult;
}

void TForm::Close()
{
    bool canClose = true;
    if (FOnCloseQuery)
        FOnCloseQuery(this, canClose);
    if (!canClose)
        return;
    if (FModal) {
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        return;
    }
    Hide();
    if (Application.MainForm() == this)
        Application.Terminate();
}

void TForm::PaintWindow(TCanvas&)
{
    if (FOnPaint)
        FOnPaint(this);
}

std::unique_ptr<TControlPeer> TForm::CreatePeer()
{
    return CreateFormPeer(this);
}

void TForm::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    ApplyBorder();
    if (auto* peer = dynamic_cast<TFormPeer*>(&APeer))
        peer->SetWindowIcon(Application.IconName());
    AttachMenu();
}
