#include "AboutDialog.h"

#include "shell/Version.h"
#include "viewing/ui/SelectionViewer.h"
#include "widgets/ProgramIcon.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::shell {

namespace {

QLabel* textLine(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About Mirravelnock!"));
    setModal(true);

    const QFontMetrics metrics = fontMetrics();
    auto* picture = new QLabel;
    const int pictureSize = metrics.height() * 4;
    picture->setPixmap(widgets::programIcon().pixmap(QSize(pictureSize, pictureSize), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picture->setAccessibleName(tr("Mirravelnock! icon"));

    auto* name = new QLabel(tr("Mirravelnock!"));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPointSizeF(font().pointSizeF() * 2.4);
    nameFont.setBold(true);
    name->setFont(nameFont);

    auto* purpose =
        textLine(tr("Bringing security to your Windows Data and Programs with state of the art encryption"));
    // Wrapped at about half its length rather than stretching the box across the screen.
    purpose->setWordWrap(true);
    purpose->setMinimumWidth(metrics.averageCharWidth() * 48);

    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(textLine(tr("32 bit --- Version %1").arg(QString::fromLatin1(kVersion))));
    text->addWidget(textLine(tr("Windows 95/98 and NT4/5")));
    text->addSpacing(metrics.height() / 2);
    text->addWidget(purpose);
    text->addSpacing(metrics.height() / 2);
    // The viewer's keys that no menu lists, named here so that they can be found.
    auto* keys = textLine(tr("Viewer keys: F11 full screen, Ctrl+Shift+S slideshow, Ctrl+wheel or Ctrl++ / "
                             "Ctrl+- zoom, Ctrl+0 actual size, Ctrl+Left / Ctrl+Right turn the view"));
    keys->setWordWrap(true);
    keys->setMinimumWidth(metrics.averageCharWidth() * 48);
    text->addWidget(keys);
    text->addSpacing(metrics.height() / 2);
    text->addWidget(rule);
    text->addWidget(textLine(tr("Braxmoor Laboratories")));
    text->addWidget(textLine(tr("Web: %1").arg(webSite())));
    text->addWidget(textLine(tr("Support: %1").arg(supportEmail())));
    // Which protections the kernel gave the decoder helpers of the owner's viewer.
    if (auto* viewer = owner ? owner->findChild<viewing::SelectionViewer*>() : nullptr) {
        QLabel* decoders = textLine(sandbox::describeProtections(viewer->decoders().protections()));
        decoders->setWordWrap(true);
        decoders->setObjectName(QStringLiteral("DecoderProtections"));
        text->addSpacing(metrics.height() / 2);
        text->addWidget(decoders);
    }
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(metrics.averageCharWidth() * 2);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("butOK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(metrics.height() / 2);
    layout->addWidget(buttons);
    // The box has nothing to stretch; a fixed size also keeps wrapped text from being cut.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus(Qt::OtherFocusReason);
    adjustSize();
}

QString AboutDialog::webSite()
{
    return QStringLiteral("https://www.example.com/mirravelnock/");
}

QString AboutDialog::supportEmail()
{
    return QStringLiteral("support@example.com");
}

} // namespace mv::shell
