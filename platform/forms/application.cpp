#include "platform/forms/application.h"

#include "platform/forms/form.h"
#include "platform/kernel/applicationpeer.h"
#include "platform/kernel/exception.h"
#include "platform/kernel/messages.h"
#include "platform/kernel/sysutils.h"

#include <exception>

TApplication Application;

namespace {

// Qt keeps references to argc and argv for the life of the toolkit.
int gToolkitArgc = 1;
char gToolkitName[] = "quimbrel";
char* gToolkitArgv[] = {gToolkitName, nullptr};

} // namespace

TApplication::TApplication() : TComponent(nullptr)
{
    // The kernel's handlers (posted messages, timers) report here.
    SetExceptionHandler([this](TObject* Sender) { HandleException(Sender); });
}

TApplication::~TApplication()
{
    SetExceptionHandler(nullptr);
    // By static destruction the toolkit's own globals may be gone: whatever
    // Finalize did not free is left to the operating system.
    if (FPeer) {
        (void)FPeer.release();
        while (ComponentCount() > 0)
            RemoveComponent(Components(ComponentCount() - 1));
    }
}

void TApplication::Finalize()
{
    // Forms and their peers go before the toolkit does.
    DestroyComponents();
    FMainForm = nullptr;
    FPeer.reset();
}

void TApplication::Initialize()
{
    Peer();
}

void TApplication::SetArgs(int argc, char** argv)
{
    FArgs.assign(argv, argv + argc);
}

int TApplication::ParamCount() const
{
    return FArgs.empty() ? 0 : static_cast<int>(FArgs.size()) - 1;
}

std::string TApplication::ParamStr(int Index) const
{
    if (Index == 0)
        return ExeName();
    if (Index < 0 || static_cast<size_t>(Index) >= FArgs.size())
        return std::string();
    return FArgs[static_cast<size_t>(Index)];
}

TApplicationPeer& TApplication::Peer()
{
    if (!FPeer)
        FPeer = CreateApplicationPeer(gToolkitArgc, gToolkitArgv);
    return *FPeer;
}

void TApplication::RegisterForm(TForm* Form)
{
    if (!FMainForm)
        FMainForm = Form;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
}

void TApplication::Run()
{
    FTerminated = false;
    if (FMainForm) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(FMainForm);
        }
    }
    if (!FTerminated && FMainForm && FMainForm->Visible())
        Peer().RunLoop();
    DestroyComponents();
}

void TApplication::ProcessMessages()
{
    Peer().ProcessEvents();
    DispatchPostedMessages();
}

void TApplication::WaitAndProcessMessages()
{
    Peer().WaitForEvents();
    DispatchPostedMessages();
}

void TApplication::Terminate()
{
    FTerminated = true;
    if (FPeer)
        FPeer->QuitLoop();
}

void TApplication::HandleException(TObject*)
{
    MessageBox(CurrentExceptionMessage(), Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, int Flags)
{
    if (FMessageBoxHook)
        return FMessageBoxHook(Text, Caption, Flags);
    return Peer().ShowMessageBox(Text, Caption, Flags);
}

std::string TApplication::ExeName() const
{
    const std::string path = ProgramFilePath();
    if (path.empty())
        return FArgs.empty() ? std::string() : FArgs[0];
    return path;
}

std::string TApplication::Title() const
{
    // The program's file name, without its folder or a ".exe".
    const std::string exe = ExeName();
    std::string name = ExtractFileName(exe);
    const std::string extension = ".exe";
    if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        name.resize(name.size() - extension.size());
    return name;
}
