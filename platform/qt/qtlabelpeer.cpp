#include "platform/widgets/label.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtguard.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Text of a disabled label.
constexpr TColor kDisabledTextColor = clGray;

// Draws the label's lines over whatever its parent shows; a click runs the
// label's click behaviour.
class TQtLabelWidget : public QWidget {
public:
    explicit TQtLabelWidget(TLabel* Label) : FLabel(Label) {}

    void SetLines(const std::vector<std::string>& Lines, TAlignment Alignment, int LineHeight)
    {
        FLines.clear();
        for (const std::string& line : Lines)
            FLines.push_back(ToQString(line));
        FAlignment = Alignment;
        FLineHeight = LineHeight;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : ToQColor(kDisabledTextColor));
        const QFontMetrics metrics(font());
        int top = 0;
        for (const QString& line : FLines) {
            painter.drawText(LineLeft(metrics.horizontalAdvance(line)), top + metrics.ascent(), line);
            top += FLineHeight;
        }
    }

    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
            Guarded(FLabel, [this]() { FLabel->Click(); });
    }

private:
    int LineLeft(int LineWidth) const
    {
        switch (FAlignment) {
        case TAlignment::taRightJustify: return width() - LineWidth;
        case TAlignment::taCenter: return (width() - LineWidth) / 2;
        default: return 0;
        }
    }

    TLabel* FLabel;
    std::vector<QString> FLines;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    int FLineHeight = 0;
};

class TQtLabelPeer : public TQtWidgetPeer, public TLabelPeer {
public:
    explicit TQtLabelPeer(TLabel* Label) : TQtWidgetPeer(new TQtLabelWidget(Label)) {}

    void SetLines(const std::vector<std::string>& Lines, TAlignment Alignment, int LineHeight) override
    {
        if (auto* widget = static_cast<TQtLabelWidget*>(W()))
            widget->SetLines(Lines, Alignment, LineHeight);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateLabelPeer(TLabel* Label)
{
    Application.Peer();
    return std::make_unique<TQtLabelPeer>(Label);
}
