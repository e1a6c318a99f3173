#include "platform/kernel/classregistry.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace {

std::string Lower(const std::string& Text)
{
    std::string lower = Text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

std::unordered_map<std::type_index, TElementNames>& EnumNames()
{
    static std::unordered_map<std::type_index, TElementNames> names;
    return names;
}

} // namespace

void RegisterEnumNames(std::type_index Type, TElementNames Names)
{
    EnumNames()[Type] = std::move(Names);
}

const TElementNames* FindEnumNames(std::type_index Type)
{
    ClassRegistry(); // the standard enumerations come with the standard classes
    const auto it = EnumNames().find(Type);
    return it == EnumNames().end() ? nullptr : &it->second;
}

TClassRegistry& ClassRegistry()
{
    static TClassRegistry registry;
    // A plain flag, not a static initialiser: the registration calls back in here.
    static bool standardRegistered = false;
    if (!standardRegistered) {
        standardRegistered = true;
        RegisterStandardClasses();
    }
    return registry;
}

void RegisterIntegerConstant(const std::string& Name, int64_t Value)
{
    ClassRegistry().RegisterIntegerConstant(Name, Value);
}

void TClassRegistry::Register(TClassInfo Info)
{
    const std::string key = Lower(Info.Name);
    FClasses[key] = std::move(Info);
}

const TClassInfo* TClassRegistry::Find(const std::string& Name) const
{
    const auto it = FClasses.find(Lower(Name));
    return it == FClasses.end() ? nullptr : &it->second;
}

const TClassInfo* TClassRegistry::Base(const TClassInfo& Class) const
{
    return Class.BaseName.empty() ? nullptr : Find(Class.BaseName);
}

const TPropertyInfo* TClassRegistry::FindProperty(const TClassInfo& Class, const std::string& Name) const
{
    for (const TClassInfo* c = &Class; c; c = Base(*c)) {
        const auto it = std::find_if(c->Properties.begin(), c->Properties.end(),
                                     [&](const TPropertyInfo& p) { return SameIdent(p.Name, Name); });
        if (it != c->Properties.end())
            return &*it;
    }
    return nullptr;
}

const TClassInfo* TClassRegistry::FindAdopter(const TClassInfo& Class) const
{
    for (const TClassInfo* c = &Class; c; c = Base(*c))
        if (c->AdoptChild)
            return c;
    return nullptr;
}

bool TClassRegistry::IsInstance(const TComponent* Instance, const TClassInfo& Class) const
{
    return Class.IsInstance && Class.IsInstance(Instance);
}

std::vector<std::string> TClassRegistry::ClassNames() const
{
    std::vector<std::string> names;
    for (const auto& [key, info] : FClasses)
        names.push_back(info.Name);
    return names;
}

void TClassRegistry::SetAdoptChild(const std::string& ClassName,
                                   std::function<void(TComponent& Parent, TComponent& Child)> Adopt)
{
    const auto it = FClasses.find(Lower(ClassName));
    if (it != FClasses.end())
        it->second.AdoptChild = std::move(Adopt);
}

void TClassRegistry::RegisterIntegerConstant(const std::string& Name, int64_t Value)
{
    FConstants[Lower(Name)] = Value;
}

bool TClassRegistry::FindIntegerConstant(const std::string& Name, int64_t& Value) const
{
    const auto it = FConstants.find(Lower(Name));
    if (it == FConstants.end())
        return false;
    Value = it->second;
    return true;
}
