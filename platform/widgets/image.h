#pragma once
// A picture on its parent's surface, at its top-left corner or stretched to
// the control's size. Pixels that are mostly transparent leave the parent showing.

#include "platform/kernel/resources.h"
#include "platform/widgets/graphiccontrol.h"

#include <string>

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);

    const TDecodedImage& Picture() const { return FPicture; }
    void SetPicture(const TDecodedImage& Value);
    // Shows the embedded bitmap of that name (bitmaps/<Name>.bmp); false when absent.
    bool LoadFromResource(const std::string& Name);
    // Shows the program's own icon.
    bool ShowApplicationIcon();

    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);

protected:
    void Paint() override;

private:
    TDecodedImage FPicture;
    bool FStretch = false;
};
