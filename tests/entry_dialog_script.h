#pragma once

#include "entry/entry_dialog.h"

#include <QList>
#include <QStringList>

// Drives the checks and the saving with scripted answers and records, in
// order, every question ("Q:"), message ("I:"), focus move ("F:") and
// picker run ("P").
class ScriptedEntryDialog : public trelok::EntryDialog {
public:
    trelok::Answer ask(trelok::EntryQuestion, const QString &text, trelok::Buttons) override
    {
        log.append(QStringLiteral("Q:") + text);
        return answers.isEmpty() ? trelok::Answer::Cancel : answers.takeFirst();
    }
    void inform(const QString &text) override { log.append(QStringLiteral("I:") + text); }
    void focus(const QString &box, trelok::EntryFields &) override
    {
        log.append(QStringLiteral("F:") + box);
    }
    void pickCustomsOffice(trelok::EntryFields &fields) override
    {
        log.append(QStringLiteral("P"));
        if (!officeChosen.isEmpty())
            fields.p_nal3 = officeChosen;
    }

    QStringList log;
    QList<trelok::Answer> answers;
    QString officeChosen; // what the picker leaves in p_nal3, if anything
};
