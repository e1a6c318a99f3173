#pragma once
// The component model: objects with an owner that frees them, a name unique
// among the owner's components, a loading state, and removal notices.

#include "platform/kernel/exception.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TOperation { opInsert, opRemove };

// Flags of TComponent::ComponentState.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,    // properties are being set from a form description
    csDesigning = 1u << 1,  // hosted by a design tool (never set by this program)
    csDestroying = 1u << 2, // the destructor has begun
};
using TComponentState = unsigned;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }

    const std::string& Name() const { return FName; }
    // Refuses, with EComponentError, a name that another component of the same
    // owner already has (compared without regard to case) or that is not an identifier.
    virtual void SetName(const std::string& NewName);

    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    bool IsLoading() const { return (FComponentState & csLoading) != 0; }
    bool IsDesigning() const { return (FComponentState & csDesigning) != 0; }
    bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
    // The form loader raises csLoading before setting properties; Loaded lowers it.
    void SetLoading();
    void SetDesigning(bool Value);

    // Called once every component of a form description has its properties.
    virtual void Loaded();

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }
    // Looks a name up among the components this one owns (case-insensitive).
    TComponent* FindComponent(const std::string& AName) const;

    // Asks to be told, through Notification, when AComponent is removed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Moves ownership; the new owner checks the name.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

protected:
    // Told of components inserted into or removed from the owner, and of
    // components this one asked about with FreeNotification.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Marks the component (and those it owns) as being destroyed.
    void Destroying();
    // Frees the owned components, last created first. A class whose owned
    // components still need its own parts while they go (a control's children
    // need their parent) calls this at the start of its destructor.
    void DestroyComponents();

private:
    void ValidateRename(TComponent* AComponent, const std::string& NewName) const;
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    TComponentState FComponentState = 0;
    std::vector<TComponent*> FComponents;      // owned, in insertion order
    std::vector<TComponent*> FFreeNotifies;    // told of this one's removal, and vice versa
};
