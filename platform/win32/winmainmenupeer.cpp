#include "platform/widgets/mainmenu.h"
#include "platform/widgets/menuitem.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winguard.h"
#include "platform/win32/winmainmenu.h"
#include "platform/win32/winapi.h"

#include <map>

namespace {

// Command numbers start above the dialog buttons' (IDOK, IDCANCEL ...) and
// end at the last that WM_COMMAND carries (16 bits).
constexpr unsigned kFirstCommand = 100;
constexpr unsigned kLastCommand = 0xFFFF;
constexpr int kVirtualKeyMask = 0xFF; // the key's code within a shortcut

std::map<unsigned, TMenuItem*>& Commands()
{
    static std::map<unsigned, TMenuItem*> commands;
    return commands;
}

// A number that no item has. Each rebuild takes new ones, so that a command
// still queued from the old bar finds no item rather than another; they go
// round once the range is used up, skipping those in use.
unsigned NextCommand()
{
    static unsigned next = kFirstCommand;
    for (;;) {
        const unsigned command = next;
        next = next == kLastCommand ? kFirstCommand : next + 1;
        if (!Commands().count(command))
            return command;
    }
}

// "Esc", "Ctrl+L": how the menu shows a shortcut beside the caption.
std::string ShortCutText(TShortCut ShortCut)
{
    const int key = ShortCut & kVirtualKeyMask;
    std::string name;
    if (key == VK_ESCAPE)
        name = "Esc";
    else if (key == VK_RETURN)
        name = "Enter";
    else if (key == VK_SPACE)
        name = "Space";
    else if (key >= VK_F1 && key <= VK_F12)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        name = std::string(1, static_cast<char>(key));
    if (ShortCut == scNone || name.empty())
        return std::string();
    std::string text;
    text += (ShortCut & scCtrl) ? "Ctrl+" : "";
    text += (ShortCut & scShift) ? "Shift+" : "";
    text += (ShortCut & scAlt) ? "Alt+" : "";
    return text + name;
}

class TWinMainMenuPeer : public TMainMenuPeer {
public:
    TWinMainMenuPeer() : FBar(CreateMenu()) {}

    ~TWinMainMenuPeer() override
    {
        Forget();
        DestroyMenu(FBar);
    }

    void Rebuild(const TMenuItem& Root) override
    {
        FRoot = &Root;
        while (GetMenuItemCount(FBar) > 0)
            DeleteMenu(FBar, 0, MF_BYPOSITION); // destroys the drop-down menus too
        Forget();
        for (int i = 0; i < Root.Count(); ++i)
            Add(FBar, *Root.Items(i));
        Redraw();
    }

    void Refresh(const TMenuItem& Item) override
    {
        const auto found = FShown.find(&Item);
        // Windows' menus cannot hide an item: one that comes or goes means a new bar.
        if ((found == FShown.end()) == Item.Visible()) {
            if (FRoot)
                Rebuild(*FRoot);
            return;
        }
        if (found != FShown.end())
            Show(found->second.first, Item);
        Redraw();
    }

    bool Trigger(const TMenuItem& Item) override
    {
        const auto found = FShown.find(&Item);
        if (found == FShown.end() || !Item.Enabled() || Item.Count() > 0 || Item.IsLine())
            return false;
        return ChooseMenuCommand(found->second.second);
    }

    TWidgetHandle Widget() const override { return reinterpret_cast<TWidgetHandle>(FBar); }

private:
    void Add(HMENU Menu, const TMenuItem& Item)
    {
        if (!Item.Visible())
            return;
        if (Item.IsLine()) {
            AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
            return;
        }
        unsigned command = 0; // a drop-down menu's title has none
        if (Item.Count() > 0) {
            HMENU popup = CreatePopupMenu();
            for (int i = 0; i < Item.Count(); ++i)
                Add(popup, *Item.Items(i));
            AppendMenuW(Menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"");
        } else {
            command = NextCommand();
            AppendMenuW(Menu, MF_STRING, command, L"");
            Commands()[command] = const_cast<TMenuItem*>(&Item);
        }
        FShown[&Item] = {Menu, command};
        Show(Menu, Item);
    }

    // Caption, shortcut, mark and state of the item at its place in Menu.
    static void Show(HMENU Menu, const TMenuItem& Item)
    {
        const int position = PositionOf(Item);
        if (position < 0)
            return;
        const std::string shortCut = ShortCutText(Item.ShortCut());
        std::wstring text = WideText(Item.Caption() + (shortCut.empty() ? "" : "\t" + shortCut));
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.fType = MFT_STRING | (Item.RadioItem() ? MFT_RADIOCHECK : 0);
        info.fState = (Item.Checked() ? MFS_CHECKED : MFS_UNCHECKED) | (Item.Enabled() ? MFS_ENABLED : MFS_DISABLED);
        info.dwTypeData = text.data();
        SetMenuItemInfoW(Menu, static_cast<UINT>(position), TRUE, &info);
    }

    // The item's position among the visible items of its menu.
    static int PositionOf(const TMenuItem& Item)
    {
        int position = 0;
        const TMenuItem* parent = Item.Parent();
        if (!parent)
            return -1;
        for (int i = 0; i < parent->Count(); ++i) {
            const TMenuItem* sibling = parent->Items(i);
            if (sibling == &Item)
                return position;
            if (sibling->Visible())
                ++position;
        }
        return -1;
    }

    void Forget()
    {
        for (const auto& [item, place] : FShown)
            Commands().erase(place.second);
        FShown.clear();
    }

    // The bar on the screen shows the changes.
    void Redraw() const
    {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](W32HWND Window, LPARAM Bar) -> BOOL {
                if (GetMenu(Window) == reinterpret_cast<HMENU>(Bar))
                    DrawMenuBar(Window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(FBar));
    }

    HMENU FBar;
    const TMenuItem* FRoot = nullptr;
    // Each item shown: the menu it is in and its command number.
    std::map<const TMenuItem*, std::pair<HMENU, unsigned>> FShown;
};

} // namespace

bool ChooseMenuCommand(unsigned Command)
{
    const auto found = Commands().find(Command);
    if (found == Commands().end())
        return false;
    TMenuItem* item = found->second;
    Guarded(item, [item]() { item->Click(); });
    return true;
}

std::unique_ptr<TMainMenuPeer> CreateMainMenuPeer(TMainMenu*)
{
    Application.Peer();
    return std::make_unique<TWinMainMenuPeer>();
}
