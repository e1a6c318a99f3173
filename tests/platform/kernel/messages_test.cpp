#include "platform/forms/application.h"
#include "platform/kernel/exception.h"
#include "platform/kernel/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr unsigned kFirst = 958;
constexpr unsigned kClose = 959;
constexpr unsigned kData = 960;
constexpr int kReplaceWindowMs = 50; // time given to a replacement that does not wait

struct TLoggingWindow {
    std::vector<std::pair<unsigned, LPARAM>> Seen;
    HWND Handle = AllocateHWnd([this](TMessage& m) { Seen.emplace_back(m.Msg, m.LParam); });
    ~TLoggingWindow() { DeallocateHWnd(Handle); }
};

TEST(MessagesTest, PostedMessagesArriveInPostingOrderAcrossWindows)
{
    TLoggingWindow a;
    TLoggingWindow b;
    std::vector<std::string> order;
    HWND c = AllocateHWnd([&](TMessage& m) { order.push_back("c" + std::to_string(m.LParam)); });
    PostMessage(a.Handle, kData, 0, 1);
    PostMessage(c, kData, 0, 2);
    PostMessage(b.Handle, kData, 0, 3);
    PostMessage(a.Handle, kData, 0, 4);
    EXPECT_EQ(DispatchPostedMessages(), 4);
    ASSERT_EQ(a.Seen.size(), 2u);
    EXPECT_EQ(a.Seen[0].second, 1);
    EXPECT_EQ(a.Seen[1].second, 4);
    EXPECT_EQ(order, std::vector<std::string>{"c2"});
    DeallocateHWnd(c);
}

// A handler's exception goes to the hook the application installed, with no
// sender for a posted message; without a hook its message goes to standard
// error. Either way the messages after it are still dispatched.
TEST(MessagesTest, AHandlersExceptionReachesTheInstalledHookOrStandardError)
{
    TLoggingWindow after;
    HWND throwing = AllocateHWnd([](TMessage&) { throw Exception("handler failed"); });
    std::vector<std::pair<TObject*, std::string>> told;
    TExceptionHandler previous = SetExceptionHandler(
        [&](TObject* Sender) { told.emplace_back(Sender, CurrentExceptionMessage()); });
    PostMessage(throwing, kData, 0, 1);
    PostMessage(after.Handle, kData, 0, 2);
    DispatchPostedMessages();
    SetExceptionHandler(nullptr);
    PostMessage(throwing, kData, 0, 3);
    testing::internal::CaptureStderr();
    DispatchPostedMessages();
    const std::string stderrText = testing::internal::GetCapturedStderr();
    SetExceptionHandler(std::move(previous));
    DeallocateHWnd(throwing);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, nullptr);
    EXPECT_EQ(told[0].second, "handler failed");
    EXPECT_EQ(after.Seen.size(), 1u);
    EXPECT_EQ(stderrText, "handler failed\n");
}

TEST(MessagesTest, MessagesFromAnotherThreadKeepTheirOrder)
{
    TLoggingWindow w;
    constexpr int kCount = 500;
    std::thread poster([&]() {
        for (int i = 0; i < kCount; ++i)
            PostMessage(w.Handle, kData, 0, i);
    });
    poster.join();
    DispatchPostedMessages();
    ASSERT_EQ(w.Seen.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(w.Seen[static_cast<size_t>(i)].second, i);
}

TEST(MessagesTest, GetMessageTakesOnlyTheFirstMatchAndLeavesTheRest)
{
    TLoggingWindow w;
    TLoggingWindow other;
    PostMessage(w.Handle, kData, 0, 1);
    PostMessage(other.Handle, kClose, 0, 2);
    PostMessage(w.Handle, kClose, 0, 3);
    PostMessage(w.Handle, kData, 0, 4);
    PostMessage(w.Handle, kClose, 0, 5);
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, w.Handle, kClose, kClose));
    EXPECT_EQ(msg.lParam, 3);
    DispatchMessage(msg);
    ASSERT_EQ(w.Seen.size(), 1u);
    EXPECT_EQ(w.Seen[0].second, 3);
    DispatchPostedMessages();
    ASSERT_EQ(w.Seen.size(), 4u);
    EXPECT_EQ(w.Seen[1].second, 1);
    EXPECT_EQ(w.Seen[2].second, 4);
    EXPECT_EQ(w.Seen[3].second, 5);
    ASSERT_EQ(other.Seen.size(), 1u);
}

TEST(MessagesTest, GetMessageWaitsForAMessageFromAnotherThread)
{
    TLoggingWindow w;
    PostMessage(w.Handle, kData, 0, 1);
    std::thread poster([&]() {
        PostMessage(w.Handle, kData, 0, 2);
        PostMessage(w.Handle, kClose, 0, 3);
    });
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, w.Handle, kClose, kClose));
    poster.join();
    EXPECT_EQ(msg.lParam, 3);
    EXPECT_EQ(DispatchPostedMessages(), 2);
}

TEST(MessagesTest, DeallocatedWindowGetsNothing)
{
    auto* w = new TLoggingWindow;
    PostMessage(w->Handle, kFirst, 0, 1);
    HWND handle = w->Handle;
    delete w;
    EXPECT_FALSE(PostMessage(handle, kFirst, 0, 2));
    EXPECT_EQ(DispatchPostedMessages(), 0);
}

TEST(MessagesTest, ExceptionInAHandlerIsShownOnceAndDeliveryGoesOn)
{
    std::vector<std::string> shown;
    Application.SetMessageBoxHook([&](const std::string& text, const std::string&, int) {
        shown.push_back(text);
        return IDOK;
    });
    int handled = 0;
    HWND w = AllocateHWnd([&](TMessage& m) {
        ++handled;
        if (m.LParam == 1)
            throw Exception("broken block");
    });
    PostMessage(w, kData, 0, 1);
    PostMessage(w, kData, 0, 2);
    EXPECT_EQ(DispatchPostedMessages(), 2);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(shown, std::vector<std::string>{"broken block"});
    DeallocateHWnd(w);
    Application.SetMessageBoxHook(nullptr);
}

TEST(MessagesTest, ReplacingTheWakerWaitsForACallInFlight)
{
    // The event loop deletes what its waker uses once it has replaced it, while
    // a capture thread may be inside that waker.
    TLoggingWindow w;
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> replaced{false};
    SetPostedMessageWaker([&]() {
        entered.set_value();
        released.wait();
    });
    std::thread poster([&]() { PostMessage(w.Handle, kData, 0, 1); });
    entered.get_future().wait();
    std::thread replacer([&]() {
        SetPostedMessageWaker(nullptr);
        replaced = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(kReplaceWindowMs));
    EXPECT_FALSE(replaced) << "replaced while the old waker was still running";
    release.set_value();
    replacer.join();
    poster.join();
    EXPECT_TRUE(replaced);
    EXPECT_EQ(DispatchPostedMessages(), 1);
}

TEST(MessagesTest, PostedMessagesReachTheEventLoop)
{
    TLoggingWindow w;
    Application.ProcessMessages(); // starts the toolkit
    std::thread poster([&]() { PostMessage(w.Handle, kData, 0, 7); });
    poster.join();
    for (int i = 0; i < 100 && w.Seen.empty(); ++i)
        Application.ProcessMessages();
    ASSERT_EQ(w.Seen.size(), 1u);
    EXPECT_EQ(w.Seen[0].second, 7);
}

} // namespace
