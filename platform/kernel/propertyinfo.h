#pragma once
// Published properties as the form loader sets them. Property() looks at the
// setter's parameter type and does the right thing:
//   bool                      True or False
//   integer types             an integer, or a registered constant (clBtnFace)
//   float types               a number
//   std::string               a string
//   a registered enumeration  one of its element names (RegisterEnumeration)
//   pointer to a component    a component named in the same form, resolved
//                             once every component exists (nullptr for "nil")
//   std::function<...>        an event: the name of a form handler of that shape
// SetProperty takes [a, b] with the element names given; CustomProperty takes
// any function of the component and the value (for Font.Height and the like).

#include "platform/kernel/component.h"
#include "platform/kernel/formvalue.h"

#include <any>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <typeindex>

enum class TPropertyKind { pkValue, pkReference, pkEvent };

struct TPropertyInfo {
    std::string Name; // may be dotted: Font.Height
    TPropertyKind Kind = TPropertyKind::pkValue;
    std::function<void(TComponent& Instance, const TFormValue& Value)> SetValue;
    std::function<void(TComponent& Instance, TComponent* Target)> SetReference;
    std::function<void(TComponent& Instance, const std::any& Handler)> SetEvent;
};

// The element names of an enumeration type, registered once (nullptr: none).
void RegisterEnumNames(std::type_index Type, TElementNames Names);
const TElementNames* FindEnumNames(std::type_index Type);

template <class E>
void RegisterEnumeration(std::initializer_list<std::pair<const char*, E>> Elements)
{
    TElementNames names;
    for (const auto& [name, value] : Elements)
        names.emplace_back(name, static_cast<int64_t>(value));
    RegisterEnumNames(std::type_index(typeid(E)), std::move(names));
}

namespace PropertyDetail {

template <class V>
struct IsStdFunction : std::false_type {};
template <class R, class... A>
struct IsStdFunction<std::function<R(A...)>> : std::true_type {};

template <class C>
C& Cast(TComponent& Instance)
{
    auto* instance = dynamic_cast<C*>(&Instance);
    if (!instance)
        throw EFormValueError("the property does not belong to this component");
    return *instance;
}

template <class V>
V Convert(const TFormValue& Value)
{
    if constexpr (std::is_same_v<V, bool>) {
        return Value.AsBoolean();
    } else if constexpr (std::is_enum_v<V>) {
        const TElementNames* names = FindEnumNames(std::type_index(typeid(V)));
        if (!names)
            throw EFormValueError("the property's enumeration is not registered");
        return static_cast<V>(Value.AsEnum(*names));
    } else if constexpr (std::is_integral_v<V>) {
        const int64_t number = Value.AsInteger();
        if (number < static_cast<int64_t>(std::numeric_limits<V>::min())
            || (number > 0 && static_cast<uint64_t>(number) > static_cast<uint64_t>(std::numeric_limits<V>::max())))
            throw EFormValueError("integer out of range");
        return static_cast<V>(number);
    } else if constexpr (std::is_floating_point_v<V>) {
        return static_cast<V>(Value.AsFloat());
    } else {
        static_assert(std::is_same_v<V, std::string>, "no conversion for this property type");
        return Value.AsString();
    }
}

} // namespace PropertyDetail

template <class C, class A>
TPropertyInfo Property(std::string Name, void (C::*Setter)(A))
{
    using V = std::remove_cvref_t<A>;
    TPropertyInfo info;
    info.Name = std::move(Name);
    if constexpr (PropertyDetail::IsStdFunction<V>::value) {
        info.Kind = TPropertyKind::pkEvent;
        info.SetEvent = [Setter](TComponent& Instance, const std::any& Handler) {
            const V* handler = std::any_cast<V>(&Handler);
            if (!handler)
                throw EFormValueError("the handler does not fit the event");
            (PropertyDetail::Cast<C>(Instance).*Setter)(*handler);
        };
    } else if constexpr (std::is_pointer_v<V>) {
        using T = std::remove_pointer_t<V>;
        static_assert(std::is_base_of_v<TComponent, T>, "reference properties point to components");
        info.Kind = TPropertyKind::pkReference;
        info.SetReference = [Setter](TComponent& Instance, TComponent* Target) {
            T* target = dynamic_cast<T*>(Target);
            if (Target && !target)
                throw EFormValueError("the component has the wrong class for");
            (PropertyDetail::Cast<C>(Instance).*Setter)(target);
        };
    } else {
        info.SetValue = [Setter](TComponent& Instance, const TFormValue& Value) {
            (PropertyDetail::Cast<C>(Instance).*Setter)(PropertyDetail::Convert<V>(Value));
        };
    }
    return info;
}

// A set property: [a, b] with the given element names, their values or'ed together.
template <class C, class A>
TPropertyInfo SetProperty(std::string Name, void (C::*Setter)(A), TElementNames Elements)
{
    using V = std::remove_cvref_t<A>;
    TPropertyInfo info;
    info.Name = std::move(Name);
    info.SetValue = [Setter, Elements = std::move(Elements)](TComponent& Instance, const TFormValue& Value) {
        (PropertyDetail::Cast<C>(Instance).*Setter)(static_cast<V>(Value.AsSet(Elements)));
    };
    return info;
}

// Any other property: Apply(C& Instance, const TFormValue& Value) converts and sets.
template <class C, class F>
TPropertyInfo CustomProperty(std::string Name, F Apply)
{
    TPropertyInfo info;
    info.Name = std::move(Name);
    info.SetValue = [Apply = std::move(Apply)](TComponent& Instance, const TFormValue& Value) {
        Apply(PropertyDetail::Cast<C>(Instance), Value);
    };
    return info;
}
