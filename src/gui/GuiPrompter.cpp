#include "gui/GuiPrompter.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

void GuiPrompter::ShowMessage(const QString& text, MessageIcon icon, const QString& title)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, owner);
    box.exec();
}

bool GuiPrompter::AskYesNo(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

bool GuiPrompter::AskOkCancel(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel, owner);
    return box.exec() == QMessageBox::Ok;
}
