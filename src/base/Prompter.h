#pragma once
// Message boxes and questions, as the core asks for them. The window shows real boxes, the
// command line uses the terminal, tests script the answers.

#include <QString>

enum class MessageIcon { Exclamation, Stop, Information };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void ShowMessage(const QString& text, MessageIcon icon, const QString& title) = 0;
    // Yes/No with the exclamation icon; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& title) = 0;
    // OK/Cancel; true for OK.
    virtual bool AskOkCancel(const QString& text, const QString& title) = 0;
};
