#include "platform/widgets/radiobutton.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QRadioButton>

namespace {

class TQtRadioButtonPeer : public TQtWidgetPeer, public TRadioButtonPeer {
public:
    explicit TQtRadioButtonPeer(TRadioButton* RadioButton) : TQtWidgetPeer(new QRadioButton())
    {
        auto* button = static_cast<QRadioButton*>(W());
        // The group is the control's: its siblings are unchecked by the component.
        button->setAutoExclusive(false);
        // Qt has turned its own mark over; a click on the chosen one leaves it chosen.
        QObject::connect(button, &QRadioButton::clicked, [button, RadioButton]() {
            Guarded(RadioButton, [button, RadioButton]() {
                button->setChecked(true);
                RadioButton->SetChecked(true);
            });
        });
    }

    void SetText(const std::string& Text) override
    {
        if (auto* button = static_cast<QRadioButton*>(W()))
            button->setText(ToQMnemonic(Text));
    }

    void SetChecked(bool Checked) override
    {
        if (auto* button = static_cast<QRadioButton*>(W()))
            button->setChecked(Checked);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateRadioButtonPeer(TRadioButton* RadioButton)
{
    Application.Peer();
    return std::make_unique<TQtRadioButtonPeer>(RadioButton);
}
