// The about window and its link.

#include "gui/frmAbout.h"

#include "base/Launcher.h"
#include "base/Names.h"
#include "gui/HyperlinkLabel.h"

#include <QFrame>
#include <QPainter>
#include <QPushButton>

namespace {

const QString WebPageAddress = QStringLiteral("http://www.example.com/");
const QString PublisherNotice = QStringLiteral("Published by the Quorvex developers");
const QColor Cyan(0, 255, 255);
const QColor Blue(0, 0, 255);
constexpr int WindowWidth = 360;
constexpr int WindowHeight = 232;

// Places a control at its own best size with its left edge at x.
// The program's mark: its initial on a round cyan face.
QPixmap ProgramMark()
{
    QPixmap mark(48, 48);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Cyan);
    painter.drawEllipse(mark.rect().adjusted(2, 2, -2, -2));
    QFont letter = painter.font();
    letter.setBold(true);
    letter.setPixelSize(28);
    painter.setFont(letter);
    painter.setPen(QColor(24, 32, 40));
    painter.drawText(mark.rect(), Qt::AlignCenter, QStringLiteral("Q"));
    return mark;
}

void PlaceAt(QWidget* control, int x, int y)
{
    control->setGeometry(x, y, control->sizeHint().width(), control->sizeHint().height());
}

} // namespace

frmAbout::frmAbout(Launcher& launcher, QWidget* parent)
    : QDialog(parent), launcher(launcher), picture(new QLabel(this)), lblSoftwareVersion(new QLabel(AppTitle, this)),
      lblSoftwareAuther(new QLabel(PublisherNotice, this)),
      lblNote(new QLabel(QStringLiteral("You can visit web page : "), this)),
      lblWebPage(new HyperlinkLabel(WebPageAddress, this)), cmdOK(new QPushButton(QStringLiteral("&OK"), this))
{
    setWindowTitle(QStringLiteral("About ") + AppTitle);
    setFixedSize(WindowWidth, WindowHeight);
    // A dark face, so that the cyan of the link reads well.
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor(24, 32, 40));
    face.setColor(QPalette::WindowText, Qt::white);
    setPalette(face);
    setAutoFillBackground(true);

    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(ProgramMark());
    lblSoftwareVersion->setObjectName(QStringLiteral("lblSoftwareVersion"));
    QFont title = lblSoftwareVersion->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.4);
    lblSoftwareVersion->setFont(title);
    lblSoftwareAuther->setObjectName(QStringLiteral("lblSoftwareAuther"));
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblWebPage->setObjectName(QStringLiteral("lblWebPage"));
    lblWebPage->SetLook(Cyan, false);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(16, 132, WindowWidth - 32, 2);

    PlaceAt(picture, 0, 14);
    PlaceAt(lblSoftwareVersion, 0, 70);
    PlaceAt(lblSoftwareAuther, 0, 104);
    PlaceAt(lblNote, 0, 150);
    PlaceAt(lblWebPage, 0, 150);
    cmdOK->setGeometry(0, 188, 88, 26);
    CentreControls();

    connect(lblWebPage, &HyperlinkLabel::Hovered, this, &frmAbout::lblWebPage_Hovered);
    connect(lblWebPage, &HyperlinkLabel::Left, this, &frmAbout::lblWebPage_Left);
    connect(lblWebPage, &HyperlinkLabel::Clicked, this, &frmAbout::lblWebPage_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmAbout::CentreControls()
{
    const auto centre = [](QWidget* control) { control->move((WindowWidth - control->width()) / 2, control->y()); };
    centre(lblSoftwareVersion);
    centre(lblSoftwareAuther);
    centre(cmdOK);
    centre(picture);
    // The note and the address read as one line, the address starting where the note ends.
    lblNote->move((WindowWidth - (lblNote->width() + lblWebPage->width())) / 2, lblNote->y());
    lblWebPage->move(lblNote->x() + lblNote->width(), lblWebPage->y());
}

void frmAbout::lblWebPage_Hovered()
{
    lblWebPage->SetLook(Blue, true);
}

void frmAbout::lblWebPage_Left()
{
    lblWebPage->SetLook(Cyan, false);
}

void frmAbout::lblWebPage_Click()
{
    lblWebPage->SetLook(lblWebPage->palette().color(QPalette::WindowText), false);
    launcher.OpenInBrowser(WebPageAddress);
}
