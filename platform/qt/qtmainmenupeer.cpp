#include "platform/widgets/mainmenu.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

namespace {

class TQtMainMenuPeer : public TMainMenuPeer {
public:
    TQtMainMenuPeer() : FBar(new QMenuBar()) {}

    ~TQtMainMenuPeer() override
    {
        delete FHolder.data();
        delete FBar.data(); // unless the form's window already took it down
    }

    void Rebuild(const TMenuItem& Root) override
    {
        if (!FBar)
            return;
        FBar->clear();
        FActions.clear();
        // The old menus go later: a handler may be running from one of their actions.
        if (FHolder)
            FHolder->deleteLater();
        FHolder = new QWidget();
        for (int i = 0; i < Root.Count(); ++i)
            AddItem(*Root.Items(i), [this](QAction* a) { FBar->addAction(a); });
    }

    void Refresh(const TMenuItem& Item) override
    {
        const auto it = FActions.find(&Item);
        if (it != FActions.end() && it->second)
            Show(*it->second, Item);
    }

    bool Trigger(const TMenuItem& Item) override
    {
        const auto it = FActions.find(&Item);
        if (it == FActions.end() || !it->second || !it->second->isEnabled() || !it->second->isVisible())
            return false;
        it->second->trigger();
        return true;
    }

    TWidgetHandle Widget() const override { return ToWidgetHandle(FBar.data()); }

private:
    void AddItem(const TMenuItem& Item, const std::function<void(QAction*)>& Add)
    {
        QAction* action = nullptr;
        if (Item.IsLine()) {
            action = new QAction(FHolder);
            action->setSeparator(true);
        } else if (Item.Count() > 0) {
            auto* menu = new QMenu(FHolder);
            for (int i = 0; i < Item.Count(); ++i)
                AddItem(*Item.Items(i), [menu](QAction* a) { menu->addAction(a); });
            action = menu->menuAction();
        } else {
            action = new QAction(FHolder);
            auto* item = const_cast<TMenuItem*>(&Item);
            QObject::connect(action, &QAction::triggered, [this, item]() {
                Guarded(item, [this, item]() {
                    Refresh(*item);
                    item->Click();
                });
            });
        }
        Show(*action, Item);
        FActions[&Item] = action;
        Add(action);
    }

    static void Show(QAction& Action, const TMenuItem& Item)
    {
        // A tab puts the shortcut in the menu's own column; the form, not Qt, acts on the key.
        const QString shortCut = ShortCutText(Item.ShortCut());
        if (!Item.IsLine())
            Action.setText(ToQMnemonic(Item.Caption()) + (shortCut.isEmpty() ? QString() : QLatin1Char('\t') + shortCut));
        // The mark is the item's: Qt's own toggling on a click is put right here.
        Action.setCheckable(Item.Checked() || Item.RadioItem());
        Action.setChecked(Item.Checked());
        Action.setEnabled(Item.Enabled());
        Action.setVisible(Item.Visible());
    }

    QPointer<QMenuBar> FBar;
    QPointer<QWidget> FHolder; // parent of the current menus and actions
    std::map<const TMenuItem*, QPointer<QAction>> FActions;
};

} // namespace

std::unique_ptr<TMainMenuPeer> CreateMainMenuPeer(TMainMenu*)
{
    Application.Peer();
    return std::make_unique<TQtMainMenuPeer>();
}
