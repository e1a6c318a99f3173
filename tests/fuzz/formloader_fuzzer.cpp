// Any text as form descriptions read into a form on the offscreen platform:
// the parser, the class and property registry, inheritance, references and
// event binding. NUL bytes split the input into descriptions, the base class's
// first, each later one derived from the one before. A refused description raises one of the program's
// exceptions, which is what the loader promises; anything else is a fault.

#include "audio/wavecommon.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/formloader.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/exception.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A form with the program's handler names and kinds, and no fields, so that
// the main window's and the About boxes' descriptions load into it.
class TFuzzForm : public TForm {
public:
    explicit TFuzzForm(TComponent* AOwner) : TForm(AOwner)
    {
        for (const char* name : {"FormCreate", "FormShow", "FormPaint", "ButtonRunClick", "ButtonCloseClick",
                                 "CheckBoxPeakClick", "FileOpenClick", "FileExitClick", "HelpAboutClick",
                                 "TimerTimer", "AudioAnalyserOpen", "AudioAnalyserClose", "WebSiteClick"})
            RegisterHandler(name, [](TObject*) {});
        RegisterHandler("AudioAnalyserData", [](wavehdr_tag&) {});
        RegisterHandler("FormCloseQuery", [](TObject*, bool&) {});
    }
};

const TClassRegistration FuzzFormClass([] { RegisterComponentClass<TFuzzForm>("TFuzzForm", "TForm"); });

std::vector<TFormDescriptionText> Descriptions(const uint8_t* Data, size_t Size)
{
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    std::vector<TFormDescriptionText> descriptions;
    size_t start = 0;
    for (;;) {
        const size_t split = text.find('\0', start);
        const std::string name = "forms/Fuzz" + std::to_string(descriptions.size()) + ".qfm";
        descriptions.push_back({name, text.substr(start, split == std::string::npos ? split : split - start)});
        if (split == std::string::npos)
            return descriptions;
        start = split + 1;
    }
}

void Load(const std::vector<TFormDescriptionText>& Texts)
{
    auto* form = new TFuzzForm(nullptr);
    try {
        ReadFormTexts(*form, Texts);
    } catch (const Exception&) {
        // Refused: the form and whatever it had created go below.
    }
    delete form;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A description may enable a wave input: it must fail to open, never capture.
    setenv("QUIMBREL_INPUT", "quimbrel-fuzz-no-such-device", 1);
    Application.SetMessageBoxHook([](const std::string&, const std::string&, int) { return IDOK; });
    // The toolkit's caches (fonts, styles) are filled once here, not counted as
    // a leak of the first input.
    const std::string warmUp = "object Fuzz: TFuzzForm\n  Caption = 'x'\n  object Label1: TLabel\n"
                               "    Caption = 'Label'\n  end\nend\n";
    Load({{"forms/Fuzz.qfm", warmUp}});
    // The toolkit goes before the leak check at exit, as in the program.
    std::atexit([] { Application.Finalize(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    Load(Descriptions(Data, Size));
    return 0;
}
