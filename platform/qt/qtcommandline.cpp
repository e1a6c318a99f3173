#include "platform/kernel/commandlinepeer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

// What Qt writes for the program in the usage line when there is no
// application object yet; the command line is read before there is one.
const QString UnnamedProgram = QStringLiteral("<executable_name>");

QStringList ToQStrings(const std::vector<std::string>& Texts)
{
    QStringList list;
    for (const std::string& text : Texts)
        list << QString::fromStdString(text);
    return list;
}

std::vector<std::string> ToStrings(const QStringList& List)
{
    std::vector<std::string> texts;
    for (const QString& text : List)
        texts.push_back(text.toStdString());
    return texts;
}

class TQtCommandLinePeer : public TCommandLinePeer {
public:
    TQtCommandLinePeer(const std::string& Description, const std::vector<TCommandLineOption>& Options,
                       const std::string& PositionalName, const std::string& PositionalDescription)
    {
        FParser.setApplicationDescription(QString::fromStdString(Description));
        for (const TCommandLineOption& option : Options)
            FParser.addOption(QCommandLineOption(ToQStrings(option.Names), QString::fromStdString(option.Description),
                                                 QString::fromStdString(option.ValueName)));
        FParser.addPositionalArgument(QString::fromStdString(PositionalName),
                                      QString::fromStdString(PositionalDescription),
                                      "[" + QString::fromStdString(PositionalName) + "]");
    }

    bool Parse(const std::vector<std::string>& Arguments) override
    {
        if (!Arguments.empty())
            FProgram = QString::fromStdString(Arguments.front());
        return FParser.parse(ToQStrings(Arguments));
    }

    std::string ErrorText() const override { return FParser.errorText().toStdString(); }
    bool IsSet(const std::string& Name) const override { return FParser.isSet(QString::fromStdString(Name)); }
    std::string Value(const std::string& Name) const override
    {
        return FParser.value(QString::fromStdString(Name)).toStdString();
    }
    std::vector<std::string> Positional() const override { return ToStrings(FParser.positionalArguments()); }

    std::string HelpText() const override
    {
        QString text = FParser.helpText();
        if (!QCoreApplication::instance())
            text.replace(UnnamedProgram, FProgram);
        return text.toStdString();
    }

private:
    QCommandLineParser FParser;
    QString FProgram; // the first argument, as the program was called
};

} // namespace

std::unique_ptr<TCommandLinePeer> CreateCommandLinePeer(const std::string& Description,
                                                        const std::vector<TCommandLineOption>& Options,
                                                        const std::string& PositionalName,
                                                        const std::string& PositionalDescription)
{
    return std::make_unique<TQtCommandLinePeer>(Description, Options, PositionalName, PositionalDescription);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void ShowCommandLineText(const std::string& Text, bool Error)
{
    std::fputs(Text.c_str(), Error ? stderr : stdout);
}
