// The help window and the search for the help document.

#include "gui/frmHelp.h"

#include "base/Launcher.h"
#include "base/Names.h"
#include "gui/HyperlinkLabel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QColor Blue(0, 0, 255);

} // namespace

QString HelpDocumentPath()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        executableFolder + QStringLiteral("/README.md"),
        executableFolder + QStringLiteral("/../share/doc/quorvex/README.md"),
        executableFolder + QStringLiteral("/../../README.md"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

frmHelp::frmHelp(Launcher& launcher, QWidget* parent)
    : QDialog(parent), launcher(launcher), lblHelp(new HyperlinkLabel(QStringLiteral("Open Online Help"), this))
{
    setWindowTitle(AppTitle);
    setFixedSize(240, 104);
    auto* Label1 = new QLabel(QStringLiteral("Quorvex Help"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title = Label1->font();
    title.setBold(true);
    Label1->setFont(title);
    Label1->setGeometry(24, 20, 192, Label1->sizeHint().height());
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->SetLook(Blue, false);
    lblHelp->setGeometry(40, 56, lblHelp->sizeHint().width(), lblHelp->sizeHint().height());

    // The link keeps its hover look once the pointer leaves it.
    connect(lblHelp, &HyperlinkLabel::Hovered, this, &frmHelp::lblHelp_Hovered);
    connect(lblHelp, &HyperlinkLabel::Clicked, this, &frmHelp::lblHelp_Click);
}

void frmHelp::lblHelp_Hovered()
{
    lblHelp->SetLook(Blue, true);
}

void frmHelp::lblHelp_Click()
{
    const QString document = HelpDocumentPath();
    if (!document.isEmpty())
        launcher.OpenInBrowser(document);
    accept();
}
