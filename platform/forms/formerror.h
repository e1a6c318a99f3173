#pragma once
// Errors in form descriptions: the description, the line and the word at fault.
// A property setter's EFormValueError, which the loader turns into one of
// these, lives with the values in the kernel.

#include "platform/kernel/exception.h"
#include "platform/kernel/formvalue.h"

#include <string>

// A malformed description, or one that names an unknown class, property,
// component or handler, or gives a property a value it cannot take.
class EFormDescriptionError : public Exception {
public:
    EFormDescriptionError(const std::string& Description, int Line, const std::string& Word,
                          const std::string& Problem)
        : Exception(Description + ", line " + std::to_string(Line) + ": " + Problem
                    + (Word.empty() ? std::string() : " \"" + Word + "\"")),
          FDescription(Description), FLine(Line), FWord(Word), FProblem(Problem)
    {
    }

    const std::string& Description() const { return FDescription; }
    int Line() const { return FLine; } // 1-based; 0 when the description itself is missing
    const std::string& Word() const { return FWord; }
    const std::string& Problem() const { return FProblem; }

private:
    std::string FDescription;
    int FLine;
    std::string FWord;
    std::string FProblem;
};
