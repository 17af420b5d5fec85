#pragma once
// A prompter for unattended work (benchmarks, fuzzers): shows nothing and answers every question No.

#include "base/Prompter.h"

class SilentPrompter : public Prompter {
public:
    void ShowMessage(const QString&, MessageIcon, const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
    bool AskOkCancel(const QString&, const QString&) override { return false; }
};
