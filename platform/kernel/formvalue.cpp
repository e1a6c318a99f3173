#include "platform/kernel/formvalue.h"

#include "platform/kernel/classregistry.h"

#include <algorithm>
#include <cctype>

namespace {

const char* KindName(TValueKind Kind)
{
    switch (Kind) {
    case TValueKind::vaInteger: return "an integer";
    case TValueKind::vaFloat: return "a number";
    case TValueKind::vaString: return "a string";
    case TValueKind::vaIdent: return "an identifier";
    case TValueKind::vaSet: return "a set";
    case TValueKind::vaBoolean: return "True or False";
    }
    return "a value";
}

[[noreturn]] void Expected(TValueKind Kind)
{
    throw EFormValueError(std::string("expected ") + KindName(Kind));
}

const std::pair<std::string, int64_t>* FindElement(const TElementNames& Names, const std::string& Ident)
{
    const auto it = std::find_if(Names.begin(), Names.end(), [&](const auto& e) { return SameIdent(e.first, Ident); });
    return it == Names.end() ? nullptr : &*it;
}

} // namespace

bool SameIdent(const std::string& A, const std::string& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

int64_t TFormValue::AsInteger() const
{
    if (Kind == TValueKind::vaInteger)
        return Integer;
    if (Kind == TValueKind::vaIdent) {
        int64_t constant = 0;
        if (ClassRegistry().FindIntegerConstant(Text, constant))
            return constant;
        throw EFormValueError("unknown constant");
    }
    Expected(TValueKind::vaInteger);
}

double TFormValue::AsFloat() const
{
    if (Kind == TValueKind::vaFloat)
        return Float;
    if (Kind == TValueKind::vaInteger)
        return static_cast<double>(Integer);
    Expected(TValueKind::vaFloat);
}

bool TFormValue::AsBoolean() const
{
    if (Kind != TValueKind::vaBoolean)
        Expected(TValueKind::vaBoolean);
    return Boolean;
}

const std::string& TFormValue::AsString() const
{
    if (Kind != TValueKind::vaString)
        Expected(TValueKind::vaString);
    return Text;
}

const std::string& TFormValue::AsIdent() const
{
    if (Kind != TValueKind::vaIdent)
        Expected(TValueKind::vaIdent);
    return Text;
}

int64_t TFormValue::AsEnum(const TElementNames& Names) const
{
    const auto* element = FindElement(Names, AsIdent());
    if (!element)
        throw EFormValueError("unknown enumeration element");
    return element->second;
}

uint64_t TFormValue::AsSet(const TElementNames& Names) const
{
    if (Kind != TValueKind::vaSet)
        Expected(TValueKind::vaSet);
    uint64_t bits = 0;
    for (const std::string& name : Elements) {
        const auto* element = FindElement(Names, name);
        if (!element)
            throw EFormValueError("unknown set element " + name + " in");
        bits |= static_cast<uint64_t>(element->second);
    }
    return bits;
}
