#pragma once
// Message boxes of the windows.

#include "base/Prompter.h"

class QWidget;

class GuiPrompter : public Prompter {
public:
    explicit GuiPrompter(QWidget* owner = nullptr) : owner(owner) {}
    void SetOwner(QWidget* window) { owner = window; }

    void ShowMessage(const QString& text, MessageIcon icon, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    bool AskOkCancel(const QString& text, const QString& title) override;

private:
    QWidget* owner;
};
