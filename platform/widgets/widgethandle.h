#pragma once
// A toolkit widget as the component model passes it between peers: a handle
// that nothing outside platform/qt/ can look into, and that no other pointer
// turns into by accident. The Qt peers convert it (platform/qt/qtconvert.h).

// Never defined: a handle only names one of the toolkit's widgets.
struct TToolkitWidget;
using TWidgetHandle = TToolkitWidget*;
