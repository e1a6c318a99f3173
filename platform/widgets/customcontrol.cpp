#include "platform/widgets/customcontrol.h"

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::PaintWindow(TCanvas&)
{
    Paint();
}

std::unique_ptr<TControlPeer> TCustomControl::CreatePeer()
{
    return CreateCustomControlPeer(this);
}
