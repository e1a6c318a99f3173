#include "platform/widgets/button.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QPushButton>

namespace {

class TQtButtonPeer : public TQtWidgetPeer, public TButtonPeer {
public:
    explicit TQtButtonPeer(TButton* Button) : TQtWidgetPeer(new QPushButton())
    {
        auto* button = static_cast<QPushButton*>(W());
        // Enter presses the focused button, as on the desktop this program came from.
        button->setAutoDefault(true);
        QObject::connect(button, &QPushButton::clicked, [Button]() { Guarded(Button, [Button]() { Button->Click(); }); });
    }

    void SetText(const std::string& Text) override
    {
        if (auto* button = static_cast<QPushButton*>(W()))
            button->setText(ToQMnemonic(Text));
    }

    void SetDefault(bool Default) override
    {
        if (auto* button = static_cast<QPushButton*>(W()))
            button->setDefault(Default);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateButtonPeer(TButton* Button)
{
    Application.Peer();
    return std::make_unique<TQtButtonPeer>(Button);
}
