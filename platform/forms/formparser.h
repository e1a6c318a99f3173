#pragma once
// Reads the text of a form description into a tree of objects. The format:
//
//   object Form1: TForm1              (or "inherited Name: TClass" for a component
//     Caption = 'Quimbrel - Tamsvik'   that a base description created)
//     BorderIcons = [biSystemMenu]
//     OnCreate = FormCreate
//     object ButtonRun: TButton
//       Left = 176
//       Caption = '&Start'
//     end
//   end
//
// Values: integers (-11, $FF), floats (-50.0, 1e3), strings in single quotes
// with '' for a quote, #n for a character and + to join pieces across lines,
// identifiers (enumeration elements, constants, component and handler names),
// sets [a, b] and the booleans True and False. "//" starts a comment.
// Keywords, and True and False, are compared without regard to case.

#include "platform/forms/formerror.h"
#include "platform/kernel/formvalue.h"

#include <string>
#include <vector>

struct TFormProperty {
    std::string Name; // may be dotted: Font.Height
    int Line = 0;
    TFormValue Value;
};

struct TFormObject {
    bool Inherited = false; // "inherited": changes a component that exists already
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

// The deepest nesting of objects a description may have, the root counting as
// one; the program's own forms nest three deep.
inline constexpr int MaxObjectDepth = 64;

// Parses a whole description; a malformed one raises EFormDescriptionError
// naming Description, the line and the word.
TFormObject ParseFormDescription(const std::string& Description, const std::string& Text);
