#include "platform/kernel/messages.h"

#include "platform/kernel/exception.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

struct THiddenWindow {
    TWndMethod Method;
};

namespace {

// One queue serves every hidden window, so messages keep their global order.
struct TPostedQueue {
    std::mutex Lock;
    std::condition_variable Arrived;
    std::deque<MSG> Messages;
    std::set<HWND> Windows;
    std::function<void()> Waker;
    int WakersRunning = 0;              // calls of Waker in flight, on any thread
    std::condition_variable WakerDone;  // WakersRunning fell to 0
};

// Counts one call of the waker for as long as it runs.
class TWakerCall {
public:
    explicit TWakerCall(TPostedQueue& Queue) : FQueue(Queue) {}
    ~TWakerCall()
    {
        std::lock_guard<std::mutex> guard(FQueue.Lock);
        if (--FQueue.WakersRunning == 0)
            FQueue.WakerDone.notify_all();
    }
    TWakerCall(const TWakerCall&) = delete;
    TWakerCall& operator=(const TWakerCall&) = delete;

private:
    TPostedQueue& FQueue;
};

TPostedQueue& Queue()
{
    // Never destroyed: windows and the application may outlive static destruction order.
    static TPostedQueue* queue = new TPostedQueue;
    return *queue;
}

bool InFilter(const MSG& m, HWND Wnd, unsigned Min, unsigned Max)
{
    return m.hwnd == Wnd && m.message >= Min && m.message <= Max;
}

} // namespace

HWND AllocateHWnd(TWndMethod Method)
{
    auto* wnd = new THiddenWindow{std::move(Method)};
    std::lock_guard<std::mutex> guard(Queue().Lock);
    Queue().Windows.insert(wnd);
    return wnd;
}

void DeallocateHWnd(HWND Wnd)
{
    if (!Wnd)
        return;
    {
        auto& q = Queue();
        std::lock_guard<std::mutex> guard(q.Lock);
        q.Windows.erase(Wnd);
        q.Messages.erase(std::remove_if(q.Messages.begin(), q.Messages.end(),
                                        [Wnd](const MSG& m) { return m.hwnd == Wnd; }),
                         q.Messages.end());
    }
    Queue().Arrived.notify_all();
    delete Wnd;
}

bool PostMessage(HWND Wnd, unsigned Msg, WPARAM WParam, LPARAM LParam)
{
    auto& q = Queue();
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(q.Lock);
        if (!q.Windows.count(Wnd))
            return false;
        q.Messages.push_back(MSG{Wnd, Msg, WParam, LParam});
        wake = static_cast<bool>(q.Waker);
        if (wake)
            ++q.WakersRunning;
    }
    q.Arrived.notify_all();
    if (wake) {
        // Called outside the lock, since it enters the toolkit; it cannot be
        // replaced while the call is counted.
        TWakerCall call(q);
        q.Waker();
    }
    return true;
}

bool GetMessage(MSG& Msg, HWND Wnd, unsigned MsgFilterMin, unsigned MsgFilterMax)
{
    auto& q = Queue();
    std::unique_lock<std::mutex> guard(q.Lock);
    for (;;) {
        if (!q.Windows.count(Wnd))
            return false;
        auto it = std::find_if(q.Messages.begin(), q.Messages.end(), [&](const MSG& m) {
            return InFilter(m, Wnd, MsgFilterMin, MsgFilterMax);
        });
        if (it != q.Messages.end()) {
            Msg = *it;
            q.Messages.erase(it);
            return true;
        }
        q.Arrived.wait(guard);
    }
}

LRESULT DispatchMessage(const MSG& Msg)
{
    TWndMethod method;
    {
        std::lock_guard<std::mutex> guard(Queue().Lock);
        if (!Queue().Windows.count(Msg.hwnd))
            return 0;
        method = Msg.hwnd->Method;
    }
    TMessage message{Msg.message, Msg.wParam, Msg.lParam, 0};
    try {
        if (method)
            method(message);
    } catch (...) {
        HandleHandlerException(nullptr);
    }
    return message.Result;
}

LRESULT DefWindowProc(HWND, unsigned, WPARAM, LPARAM)
{
    return 0;
}

int DispatchPostedMessages()
{
    // Only what is queued now: a device that posts faster than its messages
    // are handled must not keep the event loop from its other work.
    size_t pending = 0;
    {
        std::lock_guard<std::mutex> guard(Queue().Lock);
        pending = Queue().Messages.size();
    }
    int count = 0;
    for (; pending > 0; --pending) {
        MSG next;
        {
            std::lock_guard<std::mutex> guard(Queue().Lock);
            if (Queue().Messages.empty())
                break;
            next = Queue().Messages.front();
            Queue().Messages.pop_front();
        }
        DispatchMessage(next);
        ++count;
    }
    return count;
}

bool HasPostedMessages()
{
    std::lock_guard<std::mutex> guard(Queue().Lock);
    return !Queue().Messages.empty();
}

void SetPostedMessageWaker(std::function<void()> Waker)
{
    // Once this returns no thread is still inside the old waker, so whatever
    // it used may be deleted (the event loop's wake target, as it shuts down).
    auto& q = Queue();
    std::unique_lock<std::mutex> guard(q.Lock);
    q.WakerDone.wait(guard, [&] { return q.WakersRunning == 0; });
    q.Waker = std::move(Waker);
}
