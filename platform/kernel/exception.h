#pragma once
// The base of every exception the program raises: it carries a message that
// the application's exception display shows.

#include <exception>
#include <string>

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
