#include "platform/application.h"
#include "platform/form.h"

int main(int argc, char** argv)
{
    Application.SetArgs(argc, argv);
    Application.Initialize();
    TForm* form = nullptr;
    Application.CreateForm(form);
    form->SetCaption("Quimbrel - Tamsvik");
    form->SetBorderStyle(TFormBorderStyle::bsSingle);
    form->SetBounds(192, 107, 265, 351);
    Application.Run();
    Application.Finalize();
    return 0;
}
