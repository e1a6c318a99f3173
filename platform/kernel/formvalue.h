#pragma once
// One property value of a form description, as written, with the conversions
// that property setters use. A conversion that does not fit raises EFormValueError.

#include "platform/kernel/exception.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Raised by a property's setter when the value has the wrong kind or range;
// the form loader adds the description, line and word.
class EFormValueError : public Exception {
public:
    using Exception::Exception;
};

enum class TValueKind { vaInteger, vaFloat, vaString, vaIdent, vaSet, vaBoolean };

// Names of enumeration or set elements with their values.
using TElementNames = std::vector<std::pair<std::string, int64_t>>;

struct TFormValue {
    TValueKind Kind = TValueKind::vaInteger;
    int64_t Integer = 0;
    double Float = 0.0;
    std::string Text;                  // a string's characters, or an identifier
    std::vector<std::string> Elements; // the identifiers of a set
    bool Boolean = false;
    int Line = 0;     // where the value starts (1-based)
    std::string Word; // the value as written, for messages

    // An integer, or an identifier registered as an integer constant (clBtnFace, crHandPoint...).
    int64_t AsInteger() const;
    // A float or an integer.
    double AsFloat() const;
    bool AsBoolean() const;
    const std::string& AsString() const;
    const std::string& AsIdent() const;
    // An identifier among Names (compared without regard to case).
    int64_t AsEnum(const TElementNames& Names) const;
    // A set whose elements are among Names: the values of its elements or'ed together.
    uint64_t AsSet(const TElementNames& Names) const;
};

// Whether two identifiers are the same, compared without regard to case.
bool SameIdent(const std::string& A, const std::string& B);
