#include "platform/form.h"

#include "platform/application.h"
#include "platform/formloader.h"

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
    FMenu = Value;
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
}
