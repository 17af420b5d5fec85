#pragma once
// Messages and questions on the terminal: messages on standard error, questions answered by
// --yes, by the user at a terminal, or No when nobody can answer.

#include "base/Prompter.h"

class TerminalPrompter : public Prompter {
public:
    explicit TerminalPrompter(bool assumeYes) : assumeYes(assumeYes) {}

    void ShowMessage(const QString& text, MessageIcon icon, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    bool AskOkCancel(const QString& text, const QString& title) override;

private:
    bool Ask(const QString& text, const char* choices);
    bool assumeYes;
};
