#pragma once

#include <QString>

namespace trelok {

// The buttons a message can carry and the answer the user gave.
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// Everything that tells the user something or asks a question goes through
// this interface, so the rules can be driven by scripted answers in tests.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const QString &text, Buttons buttons) = 0;
    void inform(const QString &text) { ask(text, Buttons::Ok); }
};

} // namespace trelok
