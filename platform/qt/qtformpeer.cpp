#include "platform/forms/form.h"

#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtpaintwidget.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The top-level window: an optional menu bar above the client area, which
// the program paints and in which the form's controls live.
class TQtFormWindow : public QWidget {
public:
    explicit TQtFormWindow(TForm* Form) : FForm(Form)
    {
        FLayout = new QVBoxLayout(this);
        FLayout->setContentsMargins(0, 0, 0, 0);
        FLayout->setSpacing(0);
        FClient = new TQtPaintWidget(Form, this);
        FLayout->addWidget(FClient);
    }

    QWidget* Client() const { return FClient; }
    QWidget* MenuBar() const { return FMenuBar.data(); }
    void SetMenuBar(QWidget* MenuBar)
    {
        if (FMenuBar && FMenuBar != MenuBar) {
            FLayout->setMenuBar(nullptr);
            FMenuBar->hide();
            FMenuBar->setParent(nullptr);
        }
        FMenuBar = MenuBar;
        FLayout->setMenuBar(MenuBar);
        if (MenuBar)
            MenuBar->show();
    }

protected:
    // A key that no focused control used chooses the menu item with that
    // shortcut; Enter and Escape otherwise press the default or cancel button.
    void keyPressEvent(QKeyEvent* Event) override
    {
        const TShortCut shortCut = ToShortCut(Event->key(), Event->modifiers() & ~Qt::KeypadModifier);
        bool chosen = false;
        if (shortCut != scNone)
            Guarded(FForm, [&]() { chosen = FForm->ShortCutKey(shortCut); });
        if (chosen)
            return;
        const int key = Event->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if ((enter || key == Qt::Key_Escape) && (Event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            bool taken = false;
            Guarded(FForm, [&]() { taken = FForm->DialogKey(!enter); });
            if (taken)
                return;
        }
        QWidget::keyPressEvent(Event);
    }

    void closeEvent(QCloseEvent* Event) override
    {
        // The form decides: its close query may refuse, and closing only hides it.
        Event->ignore();
        Guarded(FForm, [this]() { FForm->Close(); });
    }

private:
    TForm* FForm;
    QVBoxLayout* FLayout;
    QWidget* FClient;
    QPointer<QWidget> FMenuBar; // the menu's peer owns it
};

class TQtFormPeer : public TFormPeer {
public:
    explicit TQtFormPeer(TForm* Form) : FWindow(new TQtFormWindow(Form)), FBase(FWindow) {}

    void SetParentPeer(TControlPeer*) override {}
    void SetBounds(int Left, int Top, int Width, int Height) override
    {
        FClientWidth = Width;
        FClientHeight = Height;
        FWindow->move(Left, Top);
        ApplySize();
    }
    void SetVisible(bool Visible) override { FWindow->setVisible(Visible); }
    void SetEnabled(bool Enabled) override { FWindow->setEnabled(Enabled); }
    void SetText(const std::string& Text) override { FWindow->setWindowTitle(ToQString(Text)); }
    void SetFont(const TFont& Font) override { FWindow->setFont(ToQFont(Font)); }
    void SetColor(TColor) override {}
    void SetHint(const std::string&, bool) override {}
    void Invalidate(const TRect& Area) override
    {
        FWindow->Client()->update(Area.Left, Area.Top, Area.Width(), Area.Height());
    }
    void Update() override
    {
        if (FWindow->isVisible())
            FWindow->Client()->repaint();
    }
    bool Showing() const override { return FWindow->isVisible(); }
    void BringToFront() override
    {
        FWindow->raise();
        FWindow->activateWindow();
    }
    TWidgetHandle Widget() const override { return ToWidgetHandle(FWindow); }
    TWidgetHandle ClientWidget() const override { return ToWidgetHandle(FWindow->Client()); }

    int MenuHeight() const override
    {
        return FWindow->MenuBar() ? FWindow->MenuBar()->sizeHint().height() : 0;
    }
    void SetBorder(bool Sizeable, bool SystemMenu, bool Minimize, bool Maximize) override
    {
        FSizeable = Sizeable;
        Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        if (SystemMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (Minimize)
            flags |= Qt::WindowMinimizeButtonHint;
        if (Maximize)
            flags |= Qt::WindowMaximizeButtonHint;
        const bool visible = FWindow->isVisible();
        FWindow->setWindowFlags(flags);
        if (visible)
            FWindow->show();
        ApplySize();
    }
    void SetModal(bool Modal) override
    {
        FWindow->setWindowModality(Modal ? Qt::ApplicationModal : Qt::NonModal);
    }
    void CenterOnScreen() override
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QSize size = FWindow->sizeHint().expandedTo(QSize(FClientWidth, FClientHeight + MenuHeight()));
        FWindow->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    void SetWindowIcon(const std::string& ResourceName) override
    {
        FWindow->setWindowIcon(QIcon(QStringLiteral(":/icons/") + ToQString(ResourceName) + QStringLiteral(".png")));
    }
    void SetMenuWidget(TWidgetHandle MenuWidget) override
    {
        FWindow->SetMenuBar(ToQWidget(MenuWidget));
        ApplySize();
    }

private:
    void ApplySize()
    {
        QWidget* client = FWindow->Client();
        if (FSizeable) {
            client->setMinimumSize(0, 0);
            client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            client->resize(FClientWidth, FClientHeight);
            FWindow->resize(FClientWidth, FClientHeight + MenuHeight());
        } else {
            client->setFixedSize(FClientWidth, FClientHeight);
            FWindow->setFixedSize(FClientWidth, FClientHeight + MenuHeight());
        }
    }

    TQtFormWindow* FWindow;
    TQtWidgetPeer FBase; // owns the window
    int FClientWidth = 0;
    int FClientHeight = 0;
    bool FSizeable = true;
};

} // namespace

std::unique_ptr<TFormPeer> CreateFormPeer(TForm* Form)
{
    Application.Peer();
    return std::make_unique<TQtFormPeer>(Form);
}
