#pragma once
// The base of every exception the program raises: it carries a message that
// the application's exception display shows.

#include <exception>
#include <functional>
#include <string>

class TObject;

class Exception : public std::exception {
public:
    explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Raised by the component model: a duplicate or invalid name, a bad owner.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// What becomes of an exception that escapes a handler the kernel calls (a
// posted message's, a timer's): the application object, which lives above
// the kernel with the forms, installs its exception display here as it is
// made, as the event loop installs the posted-message waker. Sender is the
// object whose handler raised it, or nullptr. Returns the handler it replaces.
using TExceptionHandler = std::function<void(TObject* Sender)>;
TExceptionHandler SetExceptionHandler(TExceptionHandler Handler);

// Hands the exception being handled (call inside a catch) to the installed
// handler; without one its message goes to standard error.
void HandleHandlerException(TObject* Sender);

// The message of the exception being handled (call inside a catch): what()
// of a standard exception, "Unknown error" for anything else.
std::string CurrentExceptionMessage();
