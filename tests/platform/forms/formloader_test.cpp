#include "platform/forms/form.h"
#include "platform/forms/formloader.h"
#include "platform/graphics/textrenderer.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/label.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

enum class TProbeMood { pmCalm, pmBusy };
enum TProbeFlag : unsigned { pfRed = 1, pfBlue = 2, pfGreen = 4 };

// Every event of every probe, in order: "Name.Setter:loading", "Name.Loaded".
std::vector<std::string> gLog;

struct TProbeData;
using TProbeEvent = std::function<void(TProbeData& Data)>;
struct TProbeData {
    int Count = 0;
};

class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
    int Number = 0;
    double Ratio = 0;
    std::string Text;
    bool Flag = false;
    TProbeMood Mood = TProbeMood::pmCalm;
    unsigned Flags = 0;
    TProbe* Buddy = nullptr;
    TNotifyEvent OnPing;
    TProbeEvent OnData;
    TCloseQueryEvent OnAsk;

    void SetNumber(int Value) { Note("Number"), Number = Value; }
    void SetRatio(double Value) { Ratio = Value; }
    void SetText(const std::string& Value) { Text = Value; }
    void SetFlag(bool Value) { Flag = Value; }
    void SetMood(TProbeMood Value) { Mood = Value; }
    void SetFlags(unsigned Value) { Flags = Value; }
    void SetBuddy(TProbe* Value) { Note("Buddy"), Buddy = Value; }
    void SetOnPing(TNotifyEvent Value) { OnPing = std::move(Value); }
    void SetOnData(TProbeEvent Value) { OnData = std::move(Value); }
    void SetOnAsk(TCloseQueryEvent Value) { OnAsk = std::move(Value); }
    void Loaded() override
    {
        TComponent::Loaded();
        gLog.push_back(Name() + ".Loaded");
    }

private:
    void Note(const char* Setter) { gLog.push_back(Name() + "." + Setter + (IsLoading() ? ":loading" : ":ready")); }
};

void RegisterProbe()
{
    RegisterEnumeration<TProbeMood>({{"pmCalm", TProbeMood::pmCalm}, {"pmBusy", TProbeMood::pmBusy}});
    RegisterComponentClass<TProbe>(
        "TProbe", "TComponent",
        {Property("Number", &TProbe::SetNumber), Property("Ratio", &TProbe::SetRatio),
         Property("Text", &TProbe::SetText), Property("Flag", &TProbe::SetFlag), Property("Mood", &TProbe::SetMood),
         SetProperty("Flags", &TProbe::SetFlags, {{"pfRed", pfRed}, {"pfBlue", pfBlue}, {"pfGreen", pfGreen}}),
         Property("Buddy", &TProbe::SetBuddy), Property("OnPing", &TProbe::SetOnPing),
         Property("OnData", &TProbe::SetOnData), Property("OnAsk", &TProbe::SetOnAsk)});
}

const TClassRegistration ProbeClass(RegisterProbe);

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner)
    {
        RegisterHandler("ProbePing", [this](TObject* Sender) { Pinged.push_back(Sender); });
        RegisterHandler("ProbeData", &TProbeForm::ProbeData);
        RegisterHandler("FormCloseQuery", [](TObject*, bool& CanClose) { CanClose = false; });
        RegisterField("First", First);
        RegisterField("Label1", Label1);
    }
    void ProbeData(TProbeData& Data) { Data.Count += 10; }
    using TForm::DoCreate;

    std::vector<TObject*> Pinged;
    TProbe* First = nullptr;
    TLabel* Label1 = nullptr;
};

const TClassRegistration ProbeFormClass([] { RegisterComponentClass<TProbeForm>("TProbeForm", "TForm"); });

const char* const kBase = R"(object ProbeForm: TProbeForm
  Caption = 'Probe'
  ClientWidth = 200
  ClientHeight = 120
  BorderStyle = bsDialog
  BorderIcons = [biSystemMenu]
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Color = clBtnFace
  OnCloseQuery = FormCloseQuery
  object First: TProbe
    Number = -42
    Ratio = 2.5
    Text = 'it''s'
    Flag = True
    Mood = pmBusy
    Flags = [pfRed, pfGreen]
    Buddy = Second
    OnPing = ProbePing
    OnData = ProbeData
    OnAsk = FormCloseQuery
  end
  object Label1: TLabel
    Left = 8
    Top = 16
    Caption = 'Label'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Second: TProbe
    Number = 7
    Buddy = First
  end
end
)";

const char* const kDerived = R"(inherited ProbeFormX: TProbeForm
  Caption = 'Derived'
  inherited Second: TProbe
    Number = 8
  end
  object Third: TProbe
    Buddy = Second
  end
end
)";

std::unique_ptr<TProbeForm> LoadProbe(const std::vector<TFormDescriptionText>& Texts)
{
    auto form = std::make_unique<TProbeForm>(nullptr);
    gLog.clear();
    ReadFormTexts(*form, Texts);
    return form;
}

TEST(FormLoaderTest, SetsEveryKindOfValue)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}});
    TProbe* first = form->First;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(form->FindComponent("First"), first);
    EXPECT_EQ(first->Owner(), form.get());
    EXPECT_EQ(first->Number, -42);
    EXPECT_DOUBLE_EQ(first->Ratio, 2.5);
    EXPECT_EQ(first->Text, "it's");
    EXPECT_TRUE(first->Flag);
    EXPECT_EQ(first->Mood, TProbeMood::pmBusy);
    EXPECT_EQ(first->Flags, pfRed | pfGreen);
    EXPECT_EQ(form->Caption(), "Probe");
    EXPECT_EQ(form->ClientWidth(), 200);
    EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsDialog);
    EXPECT_EQ(form->BorderIcons(), static_cast<TBorderIcons>(biSystemMenu));
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(form->Name(), "ProbeForm");
}

TEST(FormLoaderTest, NestedControlsAreParentedAndFieldsFilled)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}});
    ASSERT_NE(form->Label1, nullptr);
    EXPECT_EQ(form->Label1->Parent(), form.get());
    EXPECT_EQ(form->Label1->Font().Style, static_cast<TFontStyles>(fsBold));
    EXPECT_FALSE(form->Label1->ParentFont());
    EXPECT_EQ(form->Label1->Font().Height, -11) << "the rest of the font comes from the form";
    EXPECT_EQ(form->Label1->Width(), TextRenderer().TextWidth(form->Label1->Font(), "Label")) << "sized once loaded";
}

TEST(FormLoaderTest, ReferencesResolveAfterEveryComponentExists)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}});
    auto* second = dynamic_cast<TProbe*>(form->FindComponent("Second"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(form->First->Buddy, second) << "declared before its target";
    EXPECT_EQ(second->Buddy, form->First);
}

TEST(FormLoaderTest, EventsAreBoundToTheFormsHandlers)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}});
    ASSERT_TRUE(form->First->OnPing);
    form->First->OnPing(form->First);
    EXPECT_EQ(form->Pinged, std::vector<TObject*>{form->First});
    TProbeData data;
    form->First->OnData(data);
    EXPECT_EQ(data.Count, 10);
    bool canClose = true;
    form->First->OnAsk(form.get(), canClose);
    EXPECT_FALSE(canClose);
    form->OnCloseQuery()(form.get(), canClose = true);
    EXPECT_FALSE(canClose);
}

TEST(FormLoaderTest, LoadingStateWhileSettingThenLoadedInCreationOrder)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}});
    const std::vector<std::string> expected = {
        "First.Number:loading", "Second.Number:loading", "First.Buddy:loading", "Second.Buddy:loading",
        "First.Loaded",         "Second.Loaded",
    };
    EXPECT_EQ(gLog, expected);
    EXPECT_FALSE(form->IsLoading());
    EXPECT_FALSE(form->Label1->IsLoading());
    form->First->SetNumber(1);
    EXPECT_EQ(gLog.back(), "First.Number:ready");
}

TEST(FormLoaderTest, InheritedDescriptionChangesAndAdds)
{
    auto form = LoadProbe({{"forms/Probe.qfm", kBase}, {"forms/ProbeX.qfm", kDerived}});
    EXPECT_EQ(form->Caption(), "Derived");
    EXPECT_EQ(form->Name(), "ProbeFormX");
    auto* second = dynamic_cast<TProbe*>(form->FindComponent("Second"));
    auto* third = dynamic_cast<TProbe*>(form->FindComponent("Third"));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(second->Number, 8);
    EXPECT_EQ(third->Buddy, second);
    EXPECT_EQ(form->First->Number, -42) << "what the derived description leaves alone stays";
    const std::vector<std::string> loaded(gLog.end() - 3, gLog.end());
    EXPECT_EQ(loaded, (std::vector<std::string>{"First.Loaded", "Second.Loaded", "Third.Loaded"}))
        << "one session: each component is loaded once, after the last description";
}

struct TLoaderErrorCase {
    const char* Name;
    std::string Text;
    int Line;
    const char* Word;
};

std::string BaseWith(const std::string& Inside)
{
    return "object ProbeForm: TProbeForm\n" + Inside + "  object First: TProbe\n  end\n  object Label1: TLabel\n  end\nend\n";
}

class FormLoaderErrorTest : public ::testing::TestWithParam<TLoaderErrorCase> {};

TEST_P(FormLoaderErrorTest, NamesTheDescriptionLineAndWord)
{
    const TLoaderErrorCase& c = GetParam();
    auto form = std::make_unique<TProbeForm>(nullptr);
    try {
        ReadFormTexts(*form, {{"forms/Bad.qfm", c.Text}});
        FAIL() << c.Name << ": no error";
    } catch (const EFormDescriptionError& e) {
        EXPECT_EQ(e.Description(), "forms/Bad.qfm") << c.Name;
        EXPECT_EQ(e.Line(), c.Line) << c.Name << ": " << e.what();
        EXPECT_EQ(e.Word(), c.Word) << c.Name << ": " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FormLoaderErrorTest,
    ::testing::Values(
        TLoaderErrorCase{"malformed", BaseWith("  Left = \n"), 3, "object"},
        TLoaderErrorCase{"unknown class", BaseWith("  object X: TNoSuchClass\n  end\n"), 2, "TNoSuchClass"},
        TLoaderErrorCase{"unknown property", BaseWith("  Colour = clRed\n"), 2, "Colour"},
        TLoaderErrorCase{"unknown reference", BaseWith("  object P: TProbe\n    Buddy = Nobody\n  end\n"), 3, "Nobody"},
        TLoaderErrorCase{"unknown inherited", BaseWith("  inherited Ghost: TProbe\n  end\n"), 2, "Ghost"},
        TLoaderErrorCase{"unknown handler", BaseWith("  OnShow = NoSuchHandler\n"), 2, "NoSuchHandler"},
        TLoaderErrorCase{"handler of another shape", BaseWith("  OnShow = ProbeData\n"), 2, "ProbeData"},
        TLoaderErrorCase{"unknown enumeration element", BaseWith("  BorderStyle = bsRound\n"), 2, "bsRound"},
        TLoaderErrorCase{"unknown set element", BaseWith("  BorderIcons = [biClose]\n"), 2, "[biClose]"},
        TLoaderErrorCase{"unknown constant", BaseWith("  Color = clPink\n"), 2, "clPink"},
        TLoaderErrorCase{"wrong kind", BaseWith("  ClientWidth = 'wide'\n"), 2, "'wide'"},
        TLoaderErrorCase{"out of range", BaseWith("  ClientWidth = 99999999999\n"), 2, "99999999999"},
        TLoaderErrorCase{"reference of the wrong class", BaseWith("  object P: TProbe\n    Buddy = Label1\n  end\n"), 3,
                         "Label1"},
        TLoaderErrorCase{"duplicate name", BaseWith("  object First: TProbe\n  end\n"), 4, "First"},
        TLoaderErrorCase{"control in a non-window", BaseWith("  object P: TProbe\n    object L: TLabel\n    end\n  end\n"),
                         3, "L"},
        TLoaderErrorCase{"field of another class", "object ProbeForm: TProbeForm\n  object First: TLabel\n  end\nend\n",
                         2, "TLabel"},
        TLoaderErrorCase{"field without component",
                         "object ProbeForm: TProbeForm\n  object First: TProbe\n  end\nend\n", 0, "Label1"},
        TLoaderErrorCase{"root of another class", "object ProbeForm: TTimer\nend\n", 1, "TTimer"}));

TEST(FormLoaderTest, MissingEmbeddedDescriptionIsAnError)
{
    TProbeForm form(nullptr);
    try {
        ReadFormDescriptions(form, {"NoSuchForm"});
        FAIL();
    } catch (const EFormDescriptionError& e) {
        EXPECT_EQ(e.Description(), "forms/NoSuchForm.qfm");
    }
}

} // namespace
