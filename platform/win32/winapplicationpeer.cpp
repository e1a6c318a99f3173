#include "platform/forms/form.h"
#include "platform/forms/application.h"
#include "platform/kernel/applicationpeer.h"
#include "platform/kernel/messages.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winguard.h"
#include "platform/win32/winpaintwindow.h"
#include "platform/win32/winwindowpeer.h"

namespace {

// Posted to the wake window: run the program's posted messages.
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kWakeClass[] = L"QuimbrelWake";

LRESULT CALLBACK WakeWindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg != kWakeMessage)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    DispatchPostedMessages();
    return 0;
}

// The shortcut of a key press (a letter, a digit, Enter, Escape, Space,
// F1 to F12, with Shift, Ctrl and Alt as held), or scNone.
TShortCut ShortCutOf(WPARAM Key)
{
    const int code = static_cast<int>(Key);
    const bool known = (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || code == VK_RETURN ||
                       code == VK_ESCAPE || code == VK_SPACE || (code >= VK_F1 && code <= VK_F12);
    if (!known)
        return scNone;
    TShortCut shortCut = code;
    shortCut |= (GetKeyState(VK_SHIFT) < 0) ? scShift : 0;
    shortCut |= (GetKeyState(VK_CONTROL) < 0) ? scCtrl : 0;
    shortCut |= (GetKeyState(VK_MENU) < 0) ? scAlt : 0;
    return shortCut;
}

bool IsPushButton(W32HWND Window)
{
    wchar_t name[16] = {};
    if (!Window || !GetClassNameW(Window, name, 16) || lstrcmpiW(name, WC_BUTTONW) != 0)
        return false;
    const LONG_PTR kind = GetWindowLongPtrW(Window, GWL_STYLE) & BS_TYPEMASK;
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

// A key that no control used: the menu item with that shortcut, then Enter
// for the focused or default button and Escape for the cancel button.
bool FormKey(const W32MSG& Message)
{
    if (Message.message != WM_KEYDOWN && Message.message != WM_SYSKEYDOWN)
        return false;
    auto* form = dynamic_cast<TForm*>(PaintWindowControl(GetAncestor(Message.hwnd, GA_ROOT)));
    const TShortCut shortCut = ShortCutOf(Message.wParam);
    if (!form || shortCut == scNone)
        return false;
    bool taken = false;
    Guarded(form, [&]() { taken = form->ShortCutKey(shortCut); });
    if (taken || (shortCut != VK_RETURN && shortCut != VK_ESCAPE))
        return taken;
    if (shortCut == VK_RETURN && IsPushButton(GetFocus())) {
        SendMessageW(GetFocus(), BM_CLICK, 0, 0);
        return true;
    }
    Guarded(form, [&]() { taken = form->DialogKey(shortCut == VK_ESCAPE); });
    return taken;
}

class TWinApplicationPeer : public TApplicationPeer {
public:
    TWinApplicationPeer()
    {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                         ICC_PROGRESS_CLASS;
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WakeWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWakeClass;
        RegisterClassExW(&windowClass);
        FWake = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, MessageOnlyParent(), nullptr,
                                windowClass.hInstance, nullptr);
        // Posted messages may come from any thread; PostMessageW is safe from
        // any, and the wake window runs them on this one.
        const W32HWND wake = FWake;
        SetPostedMessageWaker([wake]() { PostMessageW(wake, kWakeMessage, 0, 0); });
    }

    ~TWinApplicationPeer() override
    {
        SetPostedMessageWaker(nullptr);
        DestroyWindow(FWake);
    }

    void RunLoop() override
    {
        FQuit = false;
        W32MSG message{};
        while (!FQuit && GetMessageW(&message, nullptr, 0, 0) > 0)
            Pump(message);
    }

    void QuitLoop() override
    {
        FQuit = true;
        PostMessageW(FWake, WM_NULL, 0, 0); // wakes a loop waiting in GetMessageW
    }

    void ProcessEvents() override
    {
        W32MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                FQuit = true;
                break;
            }
            Pump(message);
        }
    }

    void WaitForEvents() override
    {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        ProcessEvents();
    }

    int ShowMessageBox(const std::string& Text, const std::string& Caption, int Flags) override
    {
        // The flags and answers are Windows' own.
        const std::wstring text = WideText(Text);
        const std::wstring caption = WideText(Caption);
        // Also to the debugger's log, where a support engineer (or a test
        // under Wine, with WINEDEBUG=+debugstr) reads what the user was told.
        OutputDebugStringW((caption + L": " + text + L"\n").c_str());
        TForm* main = Application.MainForm();
        W32HWND owner = main && main->Peer() && main->Peer()->Showing() ? ToHwnd(main->Peer()->Widget()) : nullptr;
        return MessageBoxW(owner, text.c_str(), caption.c_str(), static_cast<UINT>(Flags) | MB_TASKMODAL);
    }

private:
    static void Pump(W32MSG& Message)
    {
        if (FormKey(Message))
            return;
        const W32HWND root = Message.hwnd ? GetAncestor(Message.hwnd, GA_ROOT) : nullptr;
        if (root && PaintWindowControl(root) && IsDialogMessageW(root, &Message))
            return;
        TranslateMessage(&Message);
        DispatchMessageW(&Message);
    }

    W32HWND FWake = nullptr;
    bool FQuit = false;
};

} // namespace

std::string ProgramFilePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size())
            return Utf8Text(path.substr(0, length));
        path.resize(path.size() * 2);
    }
}

std::unique_ptr<TApplicationPeer> CreateApplicationPeer(int&, char**)
{
    return std::make_unique<TWinApplicationPeer>();
}
