#include "tools/measure/terminal.h"

#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

namespace measure {

void PrepareStandardStreams() {}

bool IsTerminal(std::FILE* Stream)
{
    return isatty(fileno(Stream)) != 0;
}

int TerminalColumns(std::FILE* Stream)
{
    winsize size = {};
    if (ioctl(fileno(Stream), TIOCGWINSZ, &size) == 0)
        return size.ws_col;
    return 0;
}

std::string WrittenText(const std::function<void(std::FILE*)>& Write)
{
    char* text = nullptr;
    size_t size = 0;
    std::FILE* memory = open_memstream(&text, &size);
    if (!memory)
        return std::string();
    Write(memory);
    std::fclose(memory);
    std::string written(text, size);
    std::free(text);
    return written;
}

} // namespace measure
