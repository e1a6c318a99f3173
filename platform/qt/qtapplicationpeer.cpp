#include "platform/kernel/applicationpeer.h"

#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/kernel/messages.h"
#include "platform/qt/qtguard.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A termination signal (SIGTERM, Ctrl-C's SIGINT, or SIGHUP as the terminal
// that started the program goes) closes the main window the ordinary way, so
// the input is closed, the capture volume put back and everything freed. The
// handler only writes a byte. A close can hang (a sound server that no longer
// answers): a second signal of any of them then acts as the default does.
constexpr int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};
int gSignalPipe[2] = {-1, -1};
std::atomic<bool> gCloseAsked{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler sets the flag from any thread");

void OnTerminationSignal(int Signal)
{
    const int savedErrno = errno;
    if (gCloseAsked.exchange(true)) {
        // Blocked while the handler runs, the raised signal acts once it returns.
        std::signal(Signal, SIG_DFL);
        raise(Signal);
    } else {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(gSignalPipe[1], &byte, 1);
    }
    errno = savedErrno;
}

void CloseMainFormOnSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t n = read(gSignalPipe[0], &byte, 1);
    TForm* main = Application.MainForm();
    Guarded(main, [main]() {
        if (main)
            main->Close();
        else
            Application.Terminate();
    });
}

class TQtApplicationPeer : public TApplicationPeer {
public:
    TQtApplicationPeer(int& argc, char** argv)
    {
        // The menus stay in the window, where the window has them; looking for a
        // desktop-wide menu bar would open a session-bus connection at start-up.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
        if (!QCoreApplication::instance())
            FOwnApp = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        InstallSignalHandlers();
        FWakeTarget = new QObject();
        // Posted messages may come from a capture thread; they are run on the
        // UI thread (the road is told in platform/messages.h). The waker runs on
        // the posting thread, where a guarding pointer would be read while the
        // UI thread deletes the target; a plain one is safe, as the destructor
        // deletes the target only after no call is left that could use it.
        QObject* target = FWakeTarget;
        SetPostedMessageWaker([target]() {
            QMetaObject::invokeMethod(
                target, []() { DispatchPostedMessages(); }, Qt::QueuedConnection);
        });
    }

    ~TQtApplicationPeer() override
    {
        // Waits for a capture thread inside the waker, so the target outlives it.
        SetPostedMessageWaker(nullptr);
        delete FWakeTarget;
    }

    void RunLoop() override { QApplication::exec(); }
    void QuitLoop() override { QApplication::quit(); }
    void ProcessEvents() override { QApplication::processEvents(QEventLoop::AllEvents); }
    void WaitForEvents() override { QApplication::processEvents(QEventLoop::WaitForMoreEvents); }

    int ShowMessageBox(const std::string& Text, const std::string& Caption, int Flags) override
    {
        QMessageBox box;
        box.setWindowTitle(QString::fromStdString(Caption));
        box.setText(QString::fromStdString(Text));
        box.setIcon(IconFor(Flags));
        const int buttons = Flags & MB_TYPEMASK;
        if (buttons == MB_OKCANCEL)
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        else if (buttons == MB_YESNO)
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        else
            box.setStandardButtons(QMessageBox::Ok);
        switch (box.exec()) {
        case QMessageBox::Cancel: return IDCANCEL;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        default: return IDOK;
        }
    }

private:
    void InstallSignalHandlers()
    {
        if (!FOwnApp || socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
            return;
        FSignalNotifier = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
        QObject::connect(FSignalNotifier.get(), &QSocketNotifier::activated, []() { CloseMainFormOnSignal(); });
        for (const int signal : TerminationSignals) {
            struct sigaction previous = {};
            sigaction(signal, nullptr, &previous);
            // A program started with nohup keeps ignoring the terminal's going.
            if (signal == SIGHUP && previous.sa_handler == SIG_IGN)
                continue;
            struct sigaction action = {};
            action.sa_handler = OnTerminationSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            sigaction(signal, &action, nullptr);
        }
    }

    static QMessageBox::Icon IconFor(int Flags)
    {
        switch (Flags & MB_ICONMASK) {
        case MB_ICONSTOP: return QMessageBox::Critical;
        case MB_ICONWARNING: return QMessageBox::Warning;
        case MB_ICONINFORMATION: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
        }
    }

    std::unique_ptr<QApplication> FOwnApp;
    std::unique_ptr<QSocketNotifier> FSignalNotifier;
    QObject* FWakeTarget = nullptr;
};

} // namespace

std::string ProgramFilePath()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::unique_ptr<TApplicationPeer> CreateApplicationPeer(int& argc, char** argv)
{
    return std::make_unique<TQtApplicationPeer>(argc, argv);
}
