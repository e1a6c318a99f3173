#pragma once
// Builds a form from its descriptions. A form class derived from another reads
// its base's description first, then its own, which changes components that
// exist already ("inherited Name: TClass") and adds new ones ("object").
// All the descriptions of one form are read in one session:
//   1. the form and every component it creates are in the loading state
//      (csLoading) from their creation on;
//   2. each component is created by class name (ClassRegistry), owned by the
//      form, named, parented to the object it is nested in, stored in the
//      form's field of its name, and given its properties in the written order;
//   3. events are bound to the form's handlers of the written names;
//   4. references to components are set once every component exists;
//   5. Loaded runs on the form and then on each component, in creation order.
// Anything wrong raises EFormDescriptionError naming the description, the line
// and the word.

#include "platform/forms/formerror.h"

#include <string>
#include <vector>

class TForm;

struct TFormDescriptionText {
    std::string Name; // for messages: "forms/Form1.qfm"
    std::string Text;
};

// The embedded file of a description name: "Form1" is "forms/Form1.qfm".
std::string FormResourcePath(const std::string& Name);

// Reads the embedded descriptions of these names into Root, base class first.
void ReadFormDescriptions(TForm& Root, const std::vector<std::string>& Names);

// Reads descriptions given as text into Root, base class first.
void ReadFormTexts(TForm& Root, const std::vector<TFormDescriptionText>& Descriptions);
