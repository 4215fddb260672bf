#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QStringList>

namespace trelok {

// A prompter that answers from a script and keeps every text it was shown.
// Questions without a scripted answer are answered Cancel.
class RecordingPrompter : public Prompter {
public:
    Answer ask(const QString &text, Buttons buttons) override
    {
        shown.append(text);
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.isEmpty())
            return Answer::Cancel;
        return answers.takeFirst();
    }

    QStringList shown;
    QList<Answer> answers;
};

} // namespace trelok
