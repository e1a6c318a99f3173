#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/kernel/sysutils.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/customcontrol.h"
#include "platform/widgets/graphiccontrol.h"
#include "support/eventloop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using eventloop::RunFor;
using eventloop::RunUntil;

namespace {

struct TBoundsCall {
    int L, T, W, H;
};

class TBoundsRecorder : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TBoundsCall> Calls;
    int Paints = 0;
    void SetBounds(int L, int T, int W, int H) override
    {
        Calls.push_back({L, T, W, H});
        TCustomControl::SetBounds(L, T, W, H);
    }

protected:
    void Paint() override
    {
        ++Paints;
        Canvas().Brush().Color = clRed;
        Canvas().FillRect(Rect(0, 0, 2, 2));
    }
};

class TDot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override
    {
        Canvas().Brush().Color = clBlue;
        Canvas().FillRect(Rect(-5, -5, 50, 50)); // clipped to the control
    }
};

TEST(ControlsTest, EveryGeometryChangeGoesThroughSetBounds)
{
    TBoundsRecorder c(nullptr);
    c.SetLeft(5);
    c.SetTop(6);
    c.SetWidth(7);
    c.SetHeight(8);
    c.SetBounds(1, 2, 3, 4);
    ASSERT_EQ(c.Calls.size(), 5u);
    EXPECT_EQ(c.Calls[0].L, 5);
    EXPECT_EQ(c.Calls[1].T, 6);
    EXPECT_EQ(c.Calls[2].W, 7);
    EXPECT_EQ(c.Calls[3].H, 8);
    EXPECT_EQ(c.Left(), 1);
    EXPECT_EQ(c.Height(), 4);
}

TEST(ControlsTest, FormPaintsItsChildrenAndGraphicControlsOnItsSurface)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 60, 40);
    form->SetColor(clSilver);
    auto* custom = new TBoundsRecorder(form.get());
    custom->SetParent(form.get());
    custom->SetBounds(2, 2, 10, 10);
    auto* dot = new TDot(form.get());
    dot->SetParent(form.get());
    dot->SetBounds(30, 20, 4, 3);
    int formPaints = 0;
    form->SetOnPaint([&](TObject*) { ++formPaints; });
    form->Show();
    Application.ProcessMessages();
    form->Update();
    custom->Update();
    EXPECT_GE(formPaints, 1);
    EXPECT_GE(custom->Paints, 1);
    EXPECT_EQ(custom->SurfacePixel(0, 0), clRed);
    EXPECT_EQ(form->SurfacePixel(0, 0), clSilver) << "the form erases with its colour";
    EXPECT_EQ(form->SurfacePixel(30, 20), clBlue);
    EXPECT_EQ(form->SurfacePixel(33, 22), clBlue);
    EXPECT_EQ(form->SurfacePixel(34, 22), clSilver) << "a graphic control is clipped to its bounds";
    EXPECT_EQ(form->SurfacePixel(29, 20), clSilver);
}

TEST(ControlsTest, ShowRaisesOnShowOnceAndCloseAsksFirst)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 30, 30);
    int shows = 0;
    bool allow = false;
    form.SetOnShow([&](TObject*) { ++shows; });
    form.SetOnCloseQuery([&](TObject*, bool& canClose) { canClose = allow; });
    form.Show();
    form.Show();
    EXPECT_EQ(shows, 1);
    form.Close();
    EXPECT_TRUE(form.Visible()) << "the close query refused";
    allow = true;
    form.Close();
    EXPECT_FALSE(form.Visible());
}

TEST(ControlsTest, ShowModalIsAnsweredByATest)
{
    TForm box(nullptr);
    box.SetBounds(0, 0, 50, 50);
    int hookCalls = 0;
    Application.SetModalHook([&](TForm* f) {
        ++hookCalls;
        EXPECT_TRUE(f->Visible());
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(box.ShowModal(), mrOk);
    EXPECT_FALSE(box.Visible());
    Application.SetModalHook([](TForm* f) { f->Close(); });
    EXPECT_EQ(box.ShowModal(), mrCancel) << "closing a modal form cancels it";
    Application.SetModalHook(nullptr);
    EXPECT_EQ(hookCalls, 1);
}

TEST(TimerTest, EnablingADisabledTimerStartsAFreshPeriod)
{
    TTimer timer(nullptr);
    timer.SetEnabled(false);
    timer.SetInterval(300);
    std::vector<uint32_t> ticks;
    timer.SetOnTimer([&](TObject*) { ticks.push_back(GetTickCount()); });
    timer.SetEnabled(true);
    RunFor(200);
    timer.SetEnabled(false);
    const uint32_t restarted = GetTickCount();
    timer.SetEnabled(true);
    ASSERT_TRUE(RunUntil([&] { return !ticks.empty(); }));
    EXPECT_GE(ticks.front() - restarted, 290u) << "the period restarted at the second enable";
    timer.SetEnabled(false);
}

TEST(TimerTest, ExceptionInOnTimerIsShownAndTheLoopGoesOn)
{
    std::vector<std::string> shown;
    Application.SetMessageBoxHook([&](const std::string& text, const std::string&, int) {
        shown.push_back(text);
        return IDOK;
    });
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.SetOnTimer([&](TObject* sender) {
        ++ticks;
        if (ticks == 1)
            throw Exception("tick failed");
        static_cast<TTimer*>(sender)->SetEnabled(false);
    });
    ASSERT_TRUE(RunUntil([&] { return ticks >= 2; }));
    EXPECT_EQ(shown, std::vector<std::string>{"tick failed"});
    Application.SetMessageBoxHook(nullptr);
}

TEST(ControlsTest, ExceptionDuringPaintIsShownOnce)
{
    class TBadControl : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        int Paints = 0;

    protected:
        void Paint() override
        {
            if (++Paints == 1)
                throw Exception("paint failed");
        }
    };
    std::vector<std::string> shown;
    Application.SetMessageBoxHook([&](const std::string& text, const std::string&, int) {
        shown.push_back(text);
        return IDOK;
    });
    TForm form(nullptr);
    form.SetBounds(0, 0, 20, 20);
    auto* bad = new TBadControl(&form);
    bad->SetParent(&form);
    bad->SetBounds(0, 0, 10, 10);
    form.Show();
    Application.ProcessMessages();
    TBadControl& c = *bad;
    c.Repaint();
    c.Repaint();
    EXPECT_EQ(shown, std::vector<std::string>{"paint failed"});
    EXPECT_GE(c.Paints, 2);
    Application.SetMessageBoxHook(nullptr);
}

TEST(SysUtilsTest, FormatAndTickSource)
{
    EXPECT_EQ(Format("Error %d opening wave input - %s", 2, "No such file or directory"),
              "Error 2 opening wave input - No such file or directory");
    EXPECT_EQ(IntToStr(-10), "-10");
    uint32_t now = 0xFFFFFFF0u;
    SetTickCountSource([&] { return now; });
    const uint32_t before = GetTickCount();
    now += 0x20;
    EXPECT_EQ(GetTickCount() - before, 0x20u) << "differences survive the wrap-around";
    SetTickCountSource(nullptr);
    EXPECT_EQ(ExtractFileName("/usr/bin/quimbrel"), "quimbrel");
}

} // namespace
