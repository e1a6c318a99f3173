#include "platform/kernel/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its own destruction and the removal notices it receives.
class TRecorder : public TComponent {
public:
    TRecorder(TComponent* AOwner, const std::string& AName, std::vector<std::string>& Log)
        : TComponent(AOwner), FLog(Log)
    {
        SetName(AName);
    }
    ~TRecorder() override { FLog.push_back("free " + Name()); }

    TComponent* Watched = nullptr;
    int LoadedCalls = 0;
    bool LoadingSeenInLoaded = false;

    void Loaded() override
    {
        LoadingSeenInLoaded = IsLoading();
        TComponent::Loaded();
        ++LoadedCalls;
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) {
            FLog.push_back(Name() + " told of " + AComponent->Name());
            if (AComponent == Watched)
                Watched = nullptr;
        }
    }

private:
    std::vector<std::string>& FLog;
};

TEST(ComponentTest, OwnerFreesOwnedComponentsLastCreatedFirst)
{
    std::vector<std::string> log;
    auto* root = new TRecorder(nullptr, "Root", log);
    new TRecorder(root, "A", log);
    auto* b = new TRecorder(root, "B", log);
    new TRecorder(b, "B1", log);
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(b->Owner(), root);
    delete root;
    // Each destructor body runs before the components it owns are freed, and
    // the siblings that stay are told of each removal.
    EXPECT_EQ(log, (std::vector<std::string>{"free Root", "free B", "free B1", "A told of B", "free A"}));
}

TEST(ComponentTest, FreeingOneComponentRemovesItFromItsOwner)
{
    std::vector<std::string> log;
    TRecorder root(nullptr, "Root", log);
    auto* a = new TRecorder(&root, "A", log);
    new TRecorder(&root, "B", log);
    delete a;
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.FindComponent("A"), nullptr);
    EXPECT_NE(root.FindComponent("b"), nullptr) << "names are looked up without regard to case";
}

TEST(ComponentTest, FreeNotificationTellsAComponentInAnotherOwner)
{
    std::vector<std::string> log;
    TRecorder ownerOne(nullptr, "One", log);
    TRecorder ownerTwo(nullptr, "Two", log);
    auto* watcher = new TRecorder(&ownerOne, "Watcher", log);
    auto* label = new TRecorder(&ownerTwo, "Label", log);
    watcher->Watched = label;
    watcher->FreeNotification(label);
    delete label;
    EXPECT_EQ(watcher->Watched, nullptr);
    EXPECT_NE(std::find(log.begin(), log.end(), "Watcher told of Label"), log.end());
}

TEST(ComponentTest, SiblingsAreToldWhenOneIsRemoved)
{
    std::vector<std::string> log;
    TRecorder root(nullptr, "Root", log);
    auto* a = new TRecorder(&root, "A", log);
    auto* b = new TRecorder(&root, "B", log);
    b->Watched = a;
    delete a;
    EXPECT_EQ(b->Watched, nullptr);
}

TEST(ComponentTest, DuplicateAndInvalidNamesAreRefused)
{
    std::vector<std::string> log;
    TRecorder root(nullptr, "Root", log);
    new TRecorder(&root, "LevelMeter_1", log);
    auto* other = new TRecorder(&root, "Other", log);
    try {
        other->SetName("levelmeter_1");
        FAIL() << "a duplicate name was accepted";
    } catch (const EComponentError& e) {
        EXPECT_NE(e.Message().find("levelmeter_1"), std::string::npos);
    }
    EXPECT_EQ(other->Name(), "Other") << "a refused name leaves the old one";
    EXPECT_THROW(other->SetName("1abc"), EComponentError);
    EXPECT_THROW(new TRecorder(&root, "Other", log), EComponentError);
    EXPECT_EQ(root.ComponentCount(), 2) << "a refused component is not kept";
}

TEST(ComponentTest, LoadedClearsTheLoadingState)
{
    std::vector<std::string> log;
    TRecorder c(nullptr, "C", log);
    c.SetLoading();
    EXPECT_TRUE(c.ComponentState() & csLoading);
    c.Loaded();
    EXPECT_TRUE(c.LoadingSeenInLoaded);
    EXPECT_FALSE(c.IsLoading());
    EXPECT_EQ(c.LoadedCalls, 1);
}

TEST(ComponentTest, TagAndDesigningState)
{
    std::vector<std::string> log;
    TRecorder c(nullptr, "C", log);
    c.SetTag(42);
    EXPECT_EQ(c.Tag(), 42);
    EXPECT_FALSE(c.IsDesigning());
    c.SetDesigning(true);
    EXPECT_TRUE(c.ComponentState() & csDesigning);
}

} // namespace
