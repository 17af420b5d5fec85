#include "support/ScriptedPrompter.h"

#include <QTest>

void ScriptedPrompter::ShowMessage(const QString& text, MessageIcon icon, const QString& title)
{
    Messages.append({text, icon, title});
}

bool ScriptedPrompter::AskYesNo(const QString& text, const QString& title)
{
    Questions.append({text, MessageIcon::Exclamation, title});
    return NextAnswer();
}

bool ScriptedPrompter::AskOkCancel(const QString& text, const QString& title)
{
    Questions.append({text, MessageIcon::Exclamation, title});
    return NextAnswer();
}

bool ScriptedPrompter::NextAnswer()
{
    if (Answers.isEmpty()) {
        QTest::qFail("a question was asked that the test did not script", __FILE__, __LINE__);
        return false;
    }
    return Answers.takeFirst();
}
