// The analyser and the audio display created from form descriptions, the
// analyser as the main window places it.

#include "analyserprobe.h"

#include "platform/forms/application.h"
#include "platform/forms/formloader.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"

#include <gtest/gtest.h>

namespace {

const char* const MainWindowPart = R"(object Probe: TForm
  ClientWidth = 300
  ClientHeight = 320
  object LevelMeter: TLevelMeter
    Left = 48
    Top = 16
    Width = 41
    Height = 289
    MindB = -40
  end
  object AudioAnalyser: TBasicAudioAnalyser
    AutoStart = True
    IgnoreFileSampleRate = False
    LevelMeter = LevelMeter
    OnOpen = AudioAnalyserOpen
    OnClose = AudioAnalyserClose
    OnData = AudioAnalyserData
  end
end
)";

const char* const EveryProperty = R"(object Probe: TForm
  object Scope: TAudioDisplay
    Left = 1
    Top = 2
    Width = 41
    Height = 30
    BackgroundColour = clNavy
    Source = Other
  end
  object Other: TBasicAudioAnalyser
  end
  object Analyser: TBasicAudioAnalyser
    Enabled = False
    AutoStart = False
    BufferSamples = 441
    IgnoreFileSampleRate = True
    LeftOffset = -12
    RightOffset = 34
    LevelMeter = nil
    Display = Scope
    PeakLevel = True
  end
end
)";

} // namespace

TEST(AudioAnalyserClass, TheMainWindowsAnalyserLoadsWiredToItsMeter)
{
    alsaconfig::UseCaptureSamples(std::vector<int16_t>(FullBlockFrames * 2 * 4, 300));
    TForm form(nullptr);
    std::vector<std::string> log;
    form.RegisterHandler("AudioAnalyserOpen", [&](TObject*) { log.push_back("open"); });
    form.RegisterHandler("AudioAnalyserClose", [&](TObject*) { log.push_back("close"); });
    form.RegisterHandler("AudioAnalyserData", [&](wavehdr_tag&) { log.push_back("data"); });
    ReadFormTexts(form, {{"forms/Probe.qfm", MainWindowPart}});
    auto* analyser = dynamic_cast<TBasicAudioAnalyser*>(form.FindComponent("AudioAnalyser"));
    auto* meter = dynamic_cast<TLevelMeter*>(form.FindComponent("LevelMeter"));
    ASSERT_NE(analyser, nullptr);
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(analyser->LevelMeter(), meter);
    EXPECT_TRUE(analyser->AutoStart());
    EXPECT_FALSE(analyser->Enabled());
    EXPECT_FALSE(analyser->PeakLevel());
    EXPECT_EQ(analyser->Display(), nullptr);

    // The events are the form's handlers, and the meter gets the level of the first live block.
    analyser->SetEnabled(true);
    ASSERT_TRUE(messagepump::PumpUntil([&] { return log.size() >= 2; }));
    analyser->SetEnabled(false);
    EXPECT_EQ(log[0], "open");
    EXPECT_EQ(log[1], "data");
    EXPECT_EQ(log.back(), "close");
    EXPECT_EQ(meter->LeftdB(), -40.0f) << "the close drops the bars to MindB";
    messagepump::PumpFor(20);
}

TEST(AudioAnalyserClass, EveryPublishedPropertyIsRead)
{
    TForm form(nullptr);
    ReadFormTexts(form, {{"forms/Probe.qfm", EveryProperty}});
    auto* analyser = dynamic_cast<TBasicAudioAnalyser*>(form.FindComponent("Analyser"));
    auto* other = dynamic_cast<TBasicAudioAnalyser*>(form.FindComponent("Other"));
    auto* scope = dynamic_cast<TAudioDisplay*>(form.FindComponent("Scope"));
    ASSERT_NE(analyser, nullptr);
    ASSERT_NE(scope, nullptr);
    EXPECT_FALSE(analyser->Enabled());
    EXPECT_FALSE(analyser->AutoStart());
    EXPECT_EQ(analyser->BufferSamples(), 441);
    EXPECT_TRUE(analyser->IgnoreFileSampleRate());
    EXPECT_EQ(analyser->LeftOffset(), -12);
    EXPECT_EQ(analyser->RightOffset(), 34);
    EXPECT_EQ(analyser->LevelMeter(), nullptr);
    EXPECT_EQ(analyser->Display(), scope);
    EXPECT_TRUE(analyser->PeakLevel());
    // References are set in the written order: the analyser's Display comes
    // last and binds the display to itself.
    EXPECT_EQ(scope->Source(), analyser);
    EXPECT_NE(scope->Source(), other);
    EXPECT_EQ(scope->BackgroundColour(), clNavy);
    EXPECT_EQ(scope->ColumnBuffer8Bytes(), 39u * 8);
}
