// A meter's repaints reach the screen only when they change a pixel there:
// the offscreen platform's backing store is the screen, read back with
// QScreen::grabWindow.
#include "displays/levelmeterprobe.h"
#include "platform/qt/qtconvert.h"
#include "support/eventloop.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

// Levels between the scale lines, which are drawn over the bars.
constexpr int BarColumn = 10;     // inside the left bar
constexpr int TimerRoundMs = 200; // longer than the meter's 125 ms delay timer

// Counts the toolkit's paints of one widget.
class TPaintEvents : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        Count += Event->type() == QEvent::Paint;
        return false;
    }
};

class PaintWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fixture.Meter->SetDecayRate(0); // the bars stay where a level puts them
        Fixture.Show();
        Widget = ToQWidget(Fixture.Meter->Peer()->Widget());
        Widget->installEventFilter(&Events);
    }

    // Writes both levels and handles events until the meter has painted.
    void Write(float Level)
    {
        const int paints = Fixture.Meter->Paints;
        Fixture.Meter->SetLeftdB(Level);
        Fixture.Meter->SetRightdB(Level);
        ASSERT_TRUE(eventloop::RunUntil([&] { return Fixture.Meter->Paints > paints; }));
    }

    // Handles events until the screen shows the bar at Level's row.
    bool ScreenShows(float Level) const
    {
        return eventloop::RunUntil([&] { return ScreenBarTop() == Fixture.Meter->dBToY(Level); });
    }

    // The topmost row of the left bar on the screen, or -1.
    int ScreenBarTop() const
    {
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(Widget->window()->winId()).toImage();
        const QPoint origin = Widget->mapTo(Widget->window(), QPoint(0, 0));
        const QColor bar = ToQColor(Fixture.Meter->BarColour());
        for (int y = 1; y < Widget->height() - 1; ++y)
            if (screen.pixelColor(origin + QPoint(BarColumn, y)) == bar)
                return y;
        return -1;
    }

    TMeterOnForm Fixture;
    QWidget* Widget = nullptr;
    TPaintEvents Events;
};

TEST_F(PaintWidgetTest, RepaintsReachTheScreenOnlyWhenAPixelChanges)
{
    Write(-25.0f);
    ASSERT_TRUE(ScreenShows(-25.0f));
    eventloop::RunFor(TimerRoundMs); // the delay timer's paint too
    const int shown = Events.Count;
    for (int block = 0; block < 3; ++block)
        Write(-25.0f);
    eventloop::RunFor(TimerRoundMs);
    EXPECT_EQ(Events.Count, shown) << "the same level paints the meter but not the screen";
    Write(-15.0f);
    EXPECT_TRUE(ScreenShows(-15.0f)) << "a higher level is on the screen";
    EXPECT_GT(Events.Count, shown);
}

TEST_F(PaintWidgetTest, AFallingBarReachesTheScreen)
{
    Write(-15.0f);
    ASSERT_TRUE(ScreenShows(-15.0f));
    Fixture.Meter->SetDecayRate(100);
    Write(-60.0f);
    ASSERT_TRUE(eventloop::RunUntil([&] { return ScreenBarTop() > Fixture.Meter->dBToY(-25.0f); }))
        << "the timer's paints that move the bar are shown";
}

} // namespace
