#pragma once
// A prompter for tests: answers questions from a script and records every message and question.

#include "base/Prompter.h"

#include <QList>
#include <QStringList>

class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString Text;
        MessageIcon Icon;
        QString Title;
    };

    void ShowMessage(const QString& text, MessageIcon icon, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    bool AskOkCancel(const QString& text, const QString& title) override;

    // The answers to the next questions, in order; a question without a scripted answer fails the test.
    QList<bool> Answers;
    QList<Shown> Messages;
    QList<Shown> Questions;

private:
    bool NextAnswer();
};
