// The main window's class, as its form description names it.
#include "platform/kernel/classregistry.h"
#include "shell/mainform.h"

namespace {

const TClassRegistration MainFormClass([] { RegisterComponentClass<TForm1>("TForm1", "TForm"); });

} // namespace
