#include "platform/forms/formloader.h"

#include "platform/forms/form.h"
#include "platform/forms/formparser.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/resources.h"

namespace {

// A reference property waiting for every component to exist.
struct TFixup {
    TComponent* Instance = nullptr;
    const TPropertyInfo* Property = nullptr;
    std::string Target;
    std::string Description;
    int Line = 0;
};

class TFormLoader {
public:
    explicit TFormLoader(TForm& Root) : FRoot(Root) {}

    void Load(const std::vector<TFormDescriptionText>& Descriptions)
    {
        FRoot.SetLoading();
        FCreated.push_back(&FRoot);
        for (const TFormDescriptionText& description : Descriptions) {
            FDescription = description.Name;
            ReadRoot(ParseFormDescription(description.Name, description.Text));
        }
        ResolveReferences();
        CheckFields();
        for (TComponent* component : FCreated)
            component->Loaded();
    }

private:
    [[noreturn]] void Fail(int Line, const std::string& Word, const std::string& Problem) const
    {
        throw EFormDescriptionError(FDescription, Line, Word, Problem);
    }

    const TClassInfo& FindClass(const TFormObject& Object) const
    {
        const TClassInfo* info = ClassRegistry().Find(Object.ClassName);
        if (!info)
            Fail(Object.Line, Object.ClassName, "unknown class");
        return *info;
    }

    void ReadRoot(const TFormObject& Object);
    void ReadChild(const TFormObject& Object, TComponent& Parent, const TClassInfo& ParentClass);
    TComponent& CreateChild(const TFormObject& Object, const TClassInfo& Class, TComponent& Parent,
                            const TClassInfo& ParentClass);
    TComponent& FindInherited(const TFormObject& Object, const TClassInfo& Class);
    void Name(TComponent& Component, const TFormObject& Object);
    void Adopt(TComponent& Parent, const TClassInfo& ParentClass, TComponent& Child, const TFormObject& Object);
    void ApplyProperties(TComponent& Component, const TClassInfo& Class, const TFormObject& Object);
    void ApplyProperty(TComponent& Component, const TClassInfo& Class, const TFormProperty& Property);
    void BindEvent(TComponent& Component, const TPropertyInfo& Info, const TFormValue& Value);
    void ResolveReferences();
    void CheckFields();

    TForm& FRoot;
    std::string FDescription;
    std::vector<TComponent*> FCreated; // the form, then components in creation order
    std::vector<TFixup> FFixups;
};

void TFormLoader::ReadRoot(const TFormObject& Object)
{
    const TClassInfo& info = FindClass(Object);
    if (!ClassRegistry().IsInstance(&FRoot, info))
        Fail(Object.Line, Object.ClassName, "the form being built is not a");
    Name(FRoot, Object);
    ApplyProperties(FRoot, info, Object);
    for (const TFormObject& child : Object.Children)
        ReadChild(child, FRoot, info);
}

void TFormLoader::ReadChild(const TFormObject& Object, TComponent& Parent, const TClassInfo& ParentClass)
{
    const TClassInfo& info = FindClass(Object);
    TComponent& component = Object.Inherited ? FindInherited(Object, info) : CreateChild(Object, info, Parent, ParentClass);
    ApplyProperties(component, info, Object);
    for (const TFormObject& child : Object.Children)
        ReadChild(child, component, info);
}

TComponent& TFormLoader::FindInherited(const TFormObject& Object, const TClassInfo& Class)
{
    TComponent* existing = FRoot.FindComponent(Object.Name);
    if (!existing)
        Fail(Object.Line, Object.Name, "unknown component");
    if (!ClassRegistry().IsInstance(existing, Class))
        Fail(Object.Line, Object.ClassName, "the component " + Object.Name + " is not a");
    return *existing;
}

TComponent& TFormLoader::CreateChild(const TFormObject& Object, const TClassInfo& Class, TComponent& Parent,
                                     const TClassInfo& ParentClass)
{
    if (FRoot.FindComponent(Object.Name))
        Fail(Object.Line, Object.Name, "a component of this name exists already (use inherited to change it)");
    if (!Class.Create)
        Fail(Object.Line, Object.ClassName, "cannot create an instance of");
    TComponent* component = Class.Create(&FRoot);
    component->SetLoading();
    FCreated.push_back(component);
    Name(*component, Object);
    Adopt(Parent, ParentClass, *component, Object);
    if (!FRoot.BindField(Object.Name, component))
        Fail(Object.Line, Object.ClassName, "the form's field " + Object.Name + " cannot hold a");
    return *component;
}

void TFormLoader::Name(TComponent& Component, const TFormObject& Object)
{
    try {
        Component.SetName(Object.Name);
    } catch (const EComponentError& e) {
        Fail(Object.Line, Object.Name, e.Message() + ":");
    }
}

void TFormLoader::Adopt(TComponent& Parent, const TClassInfo& ParentClass, TComponent& Child,
                        const TFormObject& Object)
{
    if (auto* control = dynamic_cast<TControl*>(&Child)) {
        auto* window = dynamic_cast<TWinControl*>(&Parent);
        if (!window)
            Fail(Object.Line, Object.Name, ParentClass.Name + " cannot hold the control");
        control->SetParent(window);
        return;
    }
    if (const TClassInfo* adopter = ClassRegistry().FindAdopter(ParentClass)) {
        try {
            adopter->AdoptChild(Parent, Child);
        } catch (const EFormValueError& e) {
            Fail(Object.Line, Object.Name, e.Message());
        }
    }
}

void TFormLoader::ApplyProperties(TComponent& Component, const TClassInfo& Class, const TFormObject& Object)
{
    for (const TFormProperty& property : Object.Properties)
        ApplyProperty(Component, Class, property);
}

void TFormLoader::ApplyProperty(TComponent& Component, const TClassInfo& Class, const TFormProperty& Property)
{
    const TPropertyInfo* info = ClassRegistry().FindProperty(Class, Property.Name);
    if (!info)
        Fail(Property.Line, Property.Name, "unknown property of " + Class.Name);
    const TFormValue& value = Property.Value;
    switch (info->Kind) {
    case TPropertyKind::pkValue:
        try {
            info->SetValue(Component, value);
        } catch (const EFormValueError& e) {
            Fail(value.Line, value.Word, Property.Name + ": " + e.Message());
        }
        break;
    case TPropertyKind::pkReference:
        if (value.Kind != TValueKind::vaIdent)
            Fail(value.Line, value.Word, Property.Name + ": expected a component name");
        FFixups.push_back(TFixup{&Component, info, value.Text, FDescription, value.Line});
        break;
    case TPropertyKind::pkEvent: BindEvent(Component, *info, value); break;
    }
}

void TFormLoader::BindEvent(TComponent& Component, const TPropertyInfo& Info, const TFormValue& Value)
{
    if (Value.Kind != TValueKind::vaIdent)
        Fail(Value.Line, Value.Word, Info.Name + ": expected a handler name");
    const std::any* handler = FRoot.FindHandler(Value.Text);
    if (!handler)
        Fail(Value.Line, Value.Word, Info.Name + ": unknown handler");
    try {
        Info.SetEvent(Component, *handler);
    } catch (const EFormValueError& e) {
        Fail(Value.Line, Value.Word, Info.Name + ": " + e.Message());
    }
}

void TFormLoader::ResolveReferences()
{
    for (const TFixup& fixup : FFixups) {
        FDescription = fixup.Description;
        TComponent* target = nullptr;
        if (SameIdent(fixup.Target, FRoot.Name()))
            target = &FRoot;
        else if (!SameIdent(fixup.Target, "nil") && !(target = FRoot.FindComponent(fixup.Target)))
            Fail(fixup.Line, fixup.Target, fixup.Property->Name + ": unknown component");
        try {
            fixup.Property->SetReference(*fixup.Instance, target);
        } catch (const EFormValueError& e) {
            Fail(fixup.Line, fixup.Target, fixup.Property->Name + ": " + e.Message());
        }
    }
}

void TFormLoader::CheckFields()
{
    const std::vector<std::string> unbound = FRoot.UnboundFields();
    if (!unbound.empty())
        Fail(0, unbound.front(), "no component in the descriptions for the form's field");
}

} // namespace

std::string FormResourcePath(const std::string& Name)
{
    return "forms/" + Name + ".qfm";
}

void ReadFormDescriptions(TForm& Root, const std::vector<std::string>& Names)
{
    std::vector<TFormDescriptionText> texts;
    for (const std::string& name : Names) {
        const std::string path = FormResourcePath(name);
        std::vector<uint8_t> data;
        if (!ReadResource(path, data))
            throw EFormDescriptionError(path, 0, name, "no such form description");
        texts.push_back(TFormDescriptionText{path, std::string(data.begin(), data.end())});
    }
    ReadFormTexts(Root, texts);
}

void ReadFormTexts(TForm& Root, const std::vector<TFormDescriptionText>& Descriptions)
{
    TFormLoader(Root).Load(Descriptions);
}
