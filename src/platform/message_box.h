#pragma once

#include "platform/prompter.h"

class QWidget;

namespace trelok {

// Every message box of the program: title "trelok", OK, Yes/No or
// Yes/No/Cancel, line feed as line break. Tests redirect it to a scripted
// prompter, which then records every text instead of showing a box.
class MessageBoxPrompter : public Prompter {
public:
    Answer ask(const QString &text, Buttons buttons) override;

    static void redirect(Prompter *scripted);
    static Prompter *redirected();
};

// The process-wide message box wrapper.
MessageBoxPrompter &messageBoxes();

} // namespace trelok
