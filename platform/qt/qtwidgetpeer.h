#pragma once
// The common Qt side of a control: a widget kept in step with the control's
// state. Peers of the individual control kinds derive from it.

#include "platform/widgets/controlpeer.h"

#include <QPointer>
#include <QWidget>

class TQtWidgetPeer : public TControlPeer {
public:
    // Takes ownership of the widget (it may also be deleted with its Qt parent).
    explicit TQtWidgetPeer(QWidget* Widget);
    ~TQtWidgetPeer() override;

    void SetParentPeer(TControlPeer* Parent) override;
    void SetBounds(int Left, int Top, int Width, int Height) override;
    void SetVisible(bool Visible) override;
    void SetEnabled(bool Enabled) override;
    void SetText(const std::string& Text) override;
    void SetFont(const TFont& Font) override;
    void SetColor(TColor Color) override;
    void SetHint(const std::string& Hint, bool Show) override;
    void SetCursor(int Cursor) override;
    void Invalidate(const TRect& Area) override;
    void Update() override;
    bool Showing() const override;
    void BringToFront() override;
    TWidgetHandle Widget() const override;

protected:
    QWidget* W() const { return FWidget.data(); }

private:
    QPointer<QWidget> FWidget;
    bool FVisible = false;
};
