// The main window's frame: the menu bar above the client area, the title and the close box.

#include "gui/MainWindowFrame.h"

#include "gui/frmQuorvex.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

MainWindowFrame::MainWindowFrame(Session& session, Launcher& launcher, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmQuorvexFrame"));
    client = new frmQuorvex(session, launcher, this);
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("mnuBar"));
    client->CreateMenus(menuBar);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);

    setWindowTitle(client->windowTitle());
    connect(client, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    layout->activate();
    resize(minimumSize());
}

void MainWindowFrame::closeEvent(QCloseEvent* event)
{
    if (client->close())
        event->accept();
    else
        event->ignore();
}
