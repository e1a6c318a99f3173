#pragma once
// Writes the C++ sources that carry generated resources into the program.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TCppEmitter {
public:
    // A source that places Block in the ELF section SectionName of whatever
    // executable it is linked into, kept even though no code refers to it.
    static std::string VersionSource(const std::vector<uint8_t>& Block, const std::string& SectionName,
                                     const std::string& DescriptionName);
    // A source that defines the table behind LoadResString.
    static std::string StringTableSource(const std::vector<std::pair<int, std::string>>& Strings,
                                         const std::string& DescriptionName);
    // Text as a C++ string literal, quotes included.
    static std::string Literal(const std::string& Text);
};
