#include "platform/kernel/application.h"
#include "shell/mainform.h"
#include "versinfo/formhelpabout.h"

int main(int argc, char** argv)
{
    Application.SetArgs(argc, argv);
    Application.Initialize();
    Application.CreateForm(Form1);
    Application.CreateForm(HelpAboutBox);
    Application.Run();
    Application.Finalize();
    return 0;
}
