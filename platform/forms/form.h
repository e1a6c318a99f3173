#pragma once
// A top-level window: caption, client area, border, showing (also modally),
// closing with a close query, and the form's own painting through OnPaint.

#include "platform/forms/formpeer.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/wincontrol.h"

#include <any>
#include <functional>
#include <map>
#include <string>
#include <vector>

class TMainMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };

using TModalResult = int;
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    // The window's surface; valid for drawing during OnPaint, for text metrics always.
    TCanvas& Canvas() { return SurfaceCanvas(); }
    bool PaintsItself() const override { return true; }

    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetClientHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    TRect ClientRect() const override { return Rect(0, 0, Width(), Height()); }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    void SetVisible(bool Value) override;
    int ShowModal();
    // Asks OnCloseQuery, then hides the form; closing the main form ends the program.
    void Close();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }

    TNotifyEvent OnCreate() const { return FOnCreate; }
    void SetOnCreate(TNotifyEvent Value) { FOnCreate = std::move(Value); }
    TNotifyEvent OnShow() const { return FOnShow; }
    void SetOnShow(TNotifyEvent Value) { FOnShow = std::move(Value); }
    TNotifyEvent OnPaint() const { return FOnPaint; }
    void SetOnPaint(TNotifyEvent Value) { FOnPaint = std::move(Value); }
    TCloseQueryEvent OnCloseQuery() const { return FOnCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent Value) { FOnCloseQuery = std::move(Value); }

    TFormPeer* FormPeer() const;

    // Names a method that the form's descriptions may bind to an event. Any
    // callable whose std::function type is the event's (TNotifyEvent,
    // TCloseQueryEvent, THaveDataEvent, ...):
    //   RegisterHandler("FormCreate", [this](TObject* Sender) { FormCreate(Sender); });
    //   RegisterHandler("AudioAnalyserData", &TForm1::AudioAnalyserData);
    template <class F>
    void RegisterHandler(const std::string& Name, F Handler)
    {
        FHandlers[Name] = std::any(std::function(std::move(Handler)));
    }
    template <class C, class R, class... A>
    void RegisterHandler(const std::string& Name, R (C::*Method)(A...))
    {
        static_assert(std::is_base_of_v<TForm, C>, "handlers are methods of the form");
        C* self = static_cast<C*>(this);
        FHandlers[Name] = std::any(std::function<R(A...)>([self, Method](A... Args) {
            return (self->*Method)(std::forward<A>(Args)...);
        }));
    }
    // The handler of that name (as registered), or nullptr.
    const std::any* FindHandler(const std::string& Name) const;

    // Names a field that receives the component of that name when the
    // descriptions create it: RegisterField("ButtonRun", ButtonRun).
    template <class T>
    void RegisterField(const std::string& Name, T*& Field)
    {
        FFields[Name] = TField{[&Field](TComponent* Component) {
            auto* typed = dynamic_cast<T*>(Component);
            if (Component && !typed)
                return false;
            Field = typed;
            return true;
        }, false};
    }
    // Stores Component in the field of that name, if there is one; false when
    // the field cannot hold its class.
    bool BindField(const std::string& Name, TComponent* Component);
    // Registered fields that no description filled.
    std::vector<std::string> UnboundFields() const;

    // The descriptions this form is built from, base class first ("AboutBox", ...).
    const std::vector<std::string>& FormDescriptions() const { return FDescriptions; }

    // Enter clicks the default button, Escape the cancel button (the keyboard
    // sends them here when the focused control does not use them). True when
    // a button took the key.
    bool DialogKey(bool Escape);
    // A key that the focused control did not use: the enabled item of the
    // form's menu with that ShortCut is chosen. True when one was.
    bool ShortCutKey(TShortCut Key);

protected:
    // A derived form calls this at the end of its constructor, once its
    // components exist: it raises OnCreate.
    void DoCreate();
    // Each form class adds its own description in its constructor, after its
    // base class has added its own: AddFormDescription("AboutBoxZOR").
    void AddFormDescription(const std::string& Name);
    // Called by the constructor of the class that is being created (not by
    // those of its base classes): reads every added description in one loading
    // session, then raises OnCreate.
    void LoadFormDescriptions();
    void PaintWindow(TCanvas& ACanvas) override;
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TField {
        std::function<bool(TComponent*)> Assign;
        bool Bound = false;
    };

    void ApplyBorder();
    void AttachMenu();

    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = TPosition::poDesigned;
    TMainMenu* FMenu = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    TNotifyEvent FOnCreate;
    TNotifyEvent FOnShow;
    TNotifyEvent FOnPaint;
    TCloseQueryEvent FOnCloseQuery;
    std::map<std::string, std::any> FHandlers;
    std::map<std::string, TField> FFields;
    std::vector<std::string> FDescriptions;
};

// The form a control lies on (itself for a form), or nullptr.
TForm* GetParentForm(const TControl* Control);

// Tag for the constructor that a derived form class calls: it registers and
// adds its description but leaves the loading to the class being created.
struct TFormInheriting {};
