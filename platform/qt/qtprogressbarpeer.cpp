#include "platform/widgets/progressbar.h"

#include "platform/forms/application.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QProgressBar>

namespace {

class TQtProgressBarPeer : public TQtWidgetPeer, public TProgressBarPeer {
public:
    TQtProgressBarPeer() : TQtWidgetPeer(new QProgressBar()) { static_cast<QProgressBar*>(W())->setTextVisible(false); }

    void SetProgress(int Min, int Max, int Position) override
    {
        if (auto* bar = static_cast<QProgressBar*>(W())) {
            bar->setRange(Min, Max);
            bar->setValue(Position);
        }
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateProgressBarPeer(TProgressBar*)
{
    Application.Peer();
    return std::make_unique<TQtProgressBarPeer>();
}
