#pragma once
// A top-level window: caption, client area, border, showing (also modally),
// closing with a close query, and the form's own painting through OnPaint.

#include "platform/formpeer.h"
#include "platform/wincontrol.h"

#include <functional>

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

protected:
    // A derived form calls this at the end of its constructor, once its
    // components exist: it raises OnCreate.
    void DoCreate();
    void PaintWindow(TCanvas& ACanvas) override;
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    void ApplyBorder();

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
};
