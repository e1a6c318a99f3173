#pragma once
// The component classes that form descriptions may name, with their published
// properties. A class names its base class and inherits its properties.
//
// Registering a class of one's own, in a .cpp file of its folder:
//
//   namespace {
//   const TClassRegistration LevelMeterClass([] {
//       RegisterComponentClass<TLevelMeter>("TLevelMeter", "TCustomControl", {
//           Property("MindB", &TLevelMeter::SetMindB),
//           Property("LeftdB", &TLevelMeter::SetLeftdB),
//           Property("OnChange", &TLevelMeter::SetOnChange),
//       });
//   });
//   }
//
// The standard controls (TControl and the classes below it, TForm, TLabel,
// TButton, ..., TTimer, TMainMenu, TOpenDialog) are always registered.

#include "platform/kernel/propertyinfo.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct TClassInfo {
    std::string Name;
    std::string BaseName; // empty for TComponent
    // Makes an instance with its owner; empty for a class that is never created by name.
    std::function<TComponent*(TComponent* Owner)> Create;
    std::function<bool(const TComponent* Instance)> IsInstance;
    std::vector<TPropertyInfo> Properties;
    // Takes in a component nested in this one's description (a menu takes its
    // items); empty to take nothing but controls, which a windowed control parents.
    std::function<void(TComponent& Parent, TComponent& Child)> AdoptChild;
};

class TClassRegistry {
public:
    // Adds the class, or replaces a class of that name.
    void Register(TClassInfo Info);
    // Looks a class up by name, without regard to case; nullptr when unknown.
    const TClassInfo* Find(const std::string& Name) const;
    const TClassInfo* Base(const TClassInfo& Class) const;
    // Looks in the class, then in its base classes.
    const TPropertyInfo* FindProperty(const TClassInfo& Class, const std::string& Name) const;
    const TClassInfo* FindAdopter(const TClassInfo& Class) const;
    // Whether Instance is of Class (or of a class derived from it).
    bool IsInstance(const TComponent* Instance, const TClassInfo& Class) const;
    std::vector<std::string> ClassNames() const;
    // Sets how a registered class takes in the components nested in it.
    void SetAdoptChild(const std::string& ClassName, std::function<void(TComponent& Parent, TComponent& Child)> Adopt);

    // Identifiers that stand for integers in descriptions (clBtnFace, crHandPoint).
    void RegisterIntegerConstant(const std::string& Name, int64_t Value);
    bool FindIntegerConstant(const std::string& Name, int64_t& Value) const;

private:
    std::map<std::string, TClassInfo> FClasses;   // by lower-case name
    std::map<std::string, int64_t> FConstants;    // by lower-case name
};

// The program's one registry, with the standard classes in it.
TClassRegistry& ClassRegistry();

template <class T>
void RegisterComponentClass(const std::string& Name, const std::string& BaseName,
                            std::vector<TPropertyInfo> Properties = {})
{
    static_assert(std::is_base_of_v<TComponent, T>, "only components are registered");
    TClassInfo info;
    info.Name = Name;
    info.BaseName = BaseName;
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
        info.Create = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    info.IsInstance = [](const TComponent* Instance) { return dynamic_cast<const T*>(Instance) != nullptr; };
    info.Properties = std::move(Properties);
    ClassRegistry().Register(std::move(info));
}

void RegisterIntegerConstant(const std::string& Name, int64_t Value);

// Register the standard classes; ClassRegistry() calls the first once, which
// calls the second.
void RegisterStandardClasses();
void RegisterStandardControlClasses();

// Runs a registration function while the program starts (a static object of this type).
class TClassRegistration {
public:
    explicit TClassRegistration(const std::function<void()>& Register) { Register(); }
};
