#include "platform/widgets/trackbar.h"

#include "platform/forms/application.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QSignalBlocker>
#include <QSlider>

namespace {

class TQtTrackBarPeer : public TQtWidgetPeer, public TTrackBarPeer {
public:
    explicit TQtTrackBarPeer(TTrackBar* TrackBar) : TQtWidgetPeer(new QSlider(Qt::Horizontal))
    {
        auto* slider = static_cast<QSlider*>(W());
        slider->setTickPosition(QSlider::TicksBelow);
        // Only the user's moves come here: the program's own are shown with the signal blocked.
        QObject::connect(slider, &QSlider::valueChanged, [TrackBar](int Value) {
            Guarded(TrackBar, [TrackBar, Value]() { TrackBar->Moved(Value); });
        });
    }

    void SetRange(int Min, int Max, int Position) override
    {
        auto* slider = static_cast<QSlider*>(W());
        if (!slider)
            return;
        const QSignalBlocker quiet(slider);
        slider->setRange(Min, Max);
        slider->setValue(Position);
        // About ten ticks, and a page of a tenth of the range.
        constexpr int kTicks = 10;
        const int step = std::max(1, (Max - Min) / kTicks);
        slider->setTickInterval(step);
        slider->setPageStep(step);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateTrackBarPeer(TTrackBar* TrackBar)
{
    Application.Peer();
    return std::make_unique<TQtTrackBarPeer>(TrackBar);
}
