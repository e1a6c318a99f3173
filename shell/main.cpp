#include "platform/application.h"
#include "shell/mainform.h"

int main(int argc, char** argv)
{
    Application.SetArgs(argc, argv);
    Application.Initialize();
    Application.CreateForm(Form1);
    Application.Run();
    Application.Finalize();
    return 0;
}
