#include "platform/widgets/checkbox.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QCheckBox>

namespace {

class TQtCheckBoxPeer : public TQtWidgetPeer, public TCheckBoxPeer {
public:
    explicit TQtCheckBoxPeer(TCheckBox* CheckBox) : TQtWidgetPeer(new QCheckBox())
    {
        auto* box = static_cast<QCheckBox*>(W());
        // Qt has already turned its own mark over; the control follows and raises OnClick.
        QObject::connect(box, &QCheckBox::clicked,
                         [CheckBox]() { Guarded(CheckBox, [CheckBox]() { CheckBox->Toggle(); }); });
    }

    void SetText(const std::string& Text) override
    {
        if (auto* box = static_cast<QCheckBox*>(W()))
            box->setText(ToQMnemonic(Text));
    }

    void SetChecked(bool Checked) override
    {
        if (auto* box = static_cast<QCheckBox*>(W()))
            box->setChecked(Checked);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateCheckBoxPeer(TCheckBox* CheckBox)
{
    Application.Peer();
    return std::make_unique<TQtCheckBoxPeer>(CheckBox);
}
