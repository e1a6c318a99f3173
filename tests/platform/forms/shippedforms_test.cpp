// Every form description the program ships loads into its form class, and
// every caption on it fits its box in the font that stands in for the
// forms' "MS Sans Serif".

#include "platform/forms/form.h"
#include "platform/forms/formloader.h"
#include "platform/forms/formparser.h"
#include "platform/graphics/textlines.h"
#include "platform/graphics/textrenderer.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/resources.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/label.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Room a push button leaves around its caption, in pixels (both sides together).
constexpr int kButtonTextMargin = 8;
// A check box's mark and the gap after it, in pixels.
constexpr int kCheckMarkWidth = 13 + 4;

std::string DescriptionName(const std::string& File)
{
    return File.substr(0, File.rfind('.'));
}

int TextWidth(const TControl& Control)
{
    return TextRenderer().TextWidth(Control.Font(), StripAccelChars(Control.Caption()));
}

void ExpectCaptionFits(const TControl& Control, const std::string& Where)
{
    const int textHeight = TextRenderer().TextHeight(Control.Font(), "Cy");
    if (dynamic_cast<const TButton*>(&Control)) {
        EXPECT_LE(TextWidth(Control) + kButtonTextMargin, Control.Width()) << Where;
        EXPECT_LE(textHeight, Control.Height()) << Where;
    } else if (dynamic_cast<const TCheckBox*>(&Control)) {
        EXPECT_LE(kCheckMarkWidth + TextWidth(Control), Control.Width()) << Where;
        EXPECT_LE(textHeight, Control.Height()) << Where;
    } else if (auto* label = dynamic_cast<const TLabel*>(&Control)) {
        const std::vector<std::string> lines = label->Lines();
        int widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, TextRenderer().TextWidth(Control.Font(), line));
        EXPECT_LE(widest, label->Width()) << Where;
        EXPECT_LE(textHeight * static_cast<int>(lines.size()), label->Height()) << Where;
    }
    if (const TWinControl* parent = Control.Parent()) {
        EXPECT_GE(Control.Left(), 0) << Where << " lies inside its parent";
        EXPECT_LE(Control.Left() + Control.Width(), parent->Width()) << Where << " lies inside its parent";
        EXPECT_LE(Control.Top() + Control.Height(), parent->Height()) << Where << " lies inside its parent";
    }
}

void ExpectCaptionsFit(const TWinControl& Parent, const std::string& Form)
{
    for (int i = 0; i < Parent.ControlCount(); ++i) {
        const TControl* control = Parent.Controls(i);
        ExpectCaptionFits(*control, Form + "." + control->Name() + " \"" + control->Caption() + "\"");
        if (auto* window = dynamic_cast<const TWinControl*>(control))
            ExpectCaptionsFit(*window, Form);
    }
}

TEST(ShippedFormsTest, EveryDescriptionLoadsIntoItsFormClassAndItsCaptionsFit)
{
    const std::vector<std::string> files = ListResources("forms");
    if (files.empty())
        GTEST_SKIP() << "the program ships no form descriptions yet";
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string name = DescriptionName(file);
        std::vector<uint8_t> data;
        ASSERT_TRUE(ReadResource(FormResourcePath(name), data)) << "descriptions end in .qfm";
        const TFormObject root = ParseFormDescription(file, std::string(data.begin(), data.end()));
        const TClassInfo* formClass = ClassRegistry().Find(root.ClassName);
        ASSERT_NE(formClass, nullptr) << root.ClassName << " is not registered";
        ASSERT_TRUE(formClass->Create) << root.ClassName << " cannot be created";
        std::unique_ptr<TComponent> instance(formClass->Create(nullptr));
        auto* form = dynamic_cast<TForm*>(instance.get());
        ASSERT_NE(form, nullptr) << root.ClassName << " is not a form";
        const std::vector<std::string>& read = form->FormDescriptions();
        EXPECT_NE(std::find(read.begin(), read.end(), name), read.end()) << root.ClassName << " does not read " << name;
        EXPECT_FALSE(form->IsLoading());
        ExpectCaptionsFit(*form, root.Name);
    }
}

} // namespace
