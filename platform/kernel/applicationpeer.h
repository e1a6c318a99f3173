#pragma once
// What the application object needs from the window toolkit. The Qt side in
// platform/qt/ implements it; CreateApplicationPeer is its factory.

#include <memory>
#include <string>

class TApplicationPeer {
public:
    virtual ~TApplicationPeer() = default;
    // Runs the toolkit's event loop until QuitLoop.
    virtual void RunLoop() = 0;
    virtual void QuitLoop() = 0;
    // Handles every pending toolkit event once.
    virtual void ProcessEvents() = 0;
    // Waits until an event arrives, then handles the pending ones.
    virtual void WaitForEvents() = 0;
    // A modal message box; returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int ShowMessageBox(const std::string& Text, const std::string& Caption, int Flags) = 0;
};

// The full path of the running program's file.
std::string ProgramFilePath();

// Creates the toolkit (once per process) with the given command line.
std::unique_ptr<TApplicationPeer> CreateApplicationPeer(int& argc, char** argv);
