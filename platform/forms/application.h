#pragma once
// The application object: creates forms, runs the event loop, handles pending
// events, shows message boxes and reports exceptions that escape a handler.
// Message boxes and modal dialogs can be answered by a test instead of a person.

#include "platform/kernel/component.h"
#include "platform/kernel/resources.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm;
class TApplicationPeer;

// Message box flags and answers (the subset the program uses).
enum : int {
    MB_OK = 0x0000,
    MB_OKCANCEL = 0x0001,
    MB_YESNO = 0x0004,
    MB_ICONSTOP = 0x0010,
    MB_ICONWARNING = 0x0030,
    MB_ICONINFORMATION = 0x0040,
    MB_TYPEMASK = 0x000F, // the bits that choose the buttons
    MB_ICONMASK = 0x00F0, // the bits that choose the icon
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Answers a message box in place of a person: gets text, caption and flags, returns the button.
using TMessageBoxHook = std::function<int(const std::string& Text, const std::string& Caption, int Flags)>;
// Called once a modal form is showing and its modal loop runs; the hook may
// click its buttons or set its ModalResult. The loop ends when ModalResult is non-zero.
using TModalHook = std::function<void(TForm* Form)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Prepares the toolkit; the command line comes from SetArgs (main passes argc/argv).
    void Initialize();
    void SetArgs(int argc, char** argv);
    void SetArgs(std::vector<std::string> Arguments) { FArgs = std::move(Arguments); }
    int ParamCount() const;
    std::string ParamStr(int Index) const; // 0 is the executable

    // Creates a form owned by the application; the first one becomes the main form.
    template <class TFormClass>
    void CreateForm(TFormClass*& Reference)
    {
        Reference = new TFormClass(this);
        RegisterForm(Reference);
    }
    TForm* MainForm() const { return FMainForm; }

    // Shows the main form and runs the event loop until it closes; then frees the forms.
    void Run();
    // Frees the forms and then the toolkit; main and test programs call it
    // before they return.
    void Finalize();
    // Handles every pending event (paints, timers, clicks, posted messages) and returns.
    void ProcessMessages();
    // Waits for at least one event, then handles every pending one (modal loops).
    void WaitAndProcessMessages();
    // Ends the event loop.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Shows the message of the exception being handled (call inside a catch) in a
    // message box with an OK button. Sender is the object whose handler raised it.
    void HandleException(TObject* Sender);

    int MessageBox(const std::string& Text, const std::string& Caption, int Flags);

    // The full path of the running program.
    std::string ExeName() const;
    std::string Title() const;
    // The program's icon: the embedded file icons/<IconName>.png.
    std::string IconName() const { return ProgramIconName; }

    // Test hooks; an empty function restores the real dialogs.
    void SetMessageBoxHook(TMessageBoxHook Hook) { FMessageBoxHook = std::move(Hook); }
    void SetModalHook(TModalHook Hook) { FModalHook = std::move(Hook); }
    const TModalHook& ModalHook() const { return FModalHook; }

    // The toolkit side; created on first use.
    TApplicationPeer& Peer();

    void RegisterForm(TForm* Form);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    std::vector<std::string> FArgs;
    TMessageBoxHook FMessageBoxHook;
    TModalHook FModalHook;
    std::unique_ptr<TApplicationPeer> FPeer;
};

extern TApplication Application;
