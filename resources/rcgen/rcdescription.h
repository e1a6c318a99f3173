#pragma once
// Reads the two descriptions the build turns into resources:
//
// The version resource, in statements like those of a resource script:
//   FILEVERSION 1.0.0.1          (one to four dotted parts, 0 to 65535 each)
//   PRODUCTVERSION 1.0.0.1
//   FILEFLAGSMASK 0x3F   FILEFLAGS 0   FILEOS 0   FILETYPE 1   FILESUBTYPE 0
//   BLOCK "080904E4"             (a string table: eight hex digits)
//     VALUE "CompanyName" "Tamsvik"
//   END
//   TRANSLATION 0x0809 0x04E4    (language, code page; listed in this order)
//
// The string table: pairs of an id (0 to 65535) and a quoted string.

#include "platform/verres/versionblockwriter.h"
#include "rctokenizer.h"

#include <utility>
#include <vector>

class TRcDescription {
public:
    // Both raise ERcError, naming the line, for anything they do not accept.
    static TVersionResource ParseVersion(TRcTokenizer& Tokens);
    static std::vector<std::pair<int, std::string>> ParseStrings(TRcTokenizer& Tokens);

private:
    static uint32_t Number(TRcTokenizer& Tokens, int Line, const std::string& Text, uint32_t Max);
    static std::pair<uint32_t, uint32_t> Version(TRcTokenizer& Tokens, int Line, const std::string& Text);
    static TVersionStringTable Table(TRcTokenizer& Tokens, int Line);
    static void Statement(TRcTokenizer& Tokens, const TRcToken& Keyword, TVersionResource& Resource);
};
