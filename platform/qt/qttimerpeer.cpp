#include "platform/kernel/timer.h"

#include "platform/forms/application.h"

#include <QTimer>

namespace {

class TQtTimerPeer : public TTimerPeer {
public:
    explicit TQtTimerPeer(std::function<void()> OnTick)
    {
        QObject::connect(&FTimer, &QTimer::timeout, std::move(OnTick));
        FTimer.setTimerType(Qt::PreciseTimer);
    }
    void Start(int IntervalMs) override { FTimer.start(IntervalMs); }
    void Stop() override { FTimer.stop(); }

private:
    QTimer FTimer;
};

} // namespace

std::unique_ptr<TTimerPeer> CreateTimerPeer(std::function<void()> OnTick)
{
    Application.Peer();
    return std::make_unique<TQtTimerPeer>(std::move(OnTick));
}
