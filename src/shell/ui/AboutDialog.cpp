#include "AboutDialog.h"

#include "shell/Version.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::shell {

namespace {

// A padlock, drawn rather than loaded so the box needs no file beside the program.
QPixmap padlockPicture(int size, qreal pixelRatio)
{
    QPixmap pixmap(QSize(size, size) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    QPen shackle(QColor(0x70, 0x70, 0x78), s * 0.1, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(shackle);
    painter.setBrush(Qt::NoBrush);
    const QRectF arc(s * 0.28, s * 0.1, s * 0.44, s * 0.5);
    painter.drawArc(arc, 0, 180 * 16);
    painter.drawLine(QPointF(arc.left(), arc.center().y()), QPointF(arc.left(), s * 0.48));
    painter.drawLine(QPointF(arc.right(), arc.center().y()), QPointF(arc.right(), s * 0.48));

    const QRectF body(s * 0.16, s * 0.44, s * 0.68, s * 0.5);
    QLinearGradient gold(body.topLeft(), body.bottomLeft());
    gold.setColorAt(0, QColor(0xf5, 0xc8, 0x42));
    gold.setColorAt(1, QColor(0xc0, 0x8a, 0x10));
    painter.setPen(QPen(QColor(0x80, 0x5a, 0x08), s * 0.03));
    painter.setBrush(gold);
    painter.drawRoundedRect(body, s * 0.06, s * 0.06);

    QPainterPath keyhole;
    keyhole.addEllipse(QPointF(s * 0.5, s * 0.62), s * 0.07, s * 0.07);
    keyhole.addRect(QRectF(s * 0.47, s * 0.64, s * 0.06, s * 0.17));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x40, 0x2c, 0x04));
    painter.drawPath(keyhole.simplified());
    return pixmap;
}

QLabel* textLine(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(tr("About Mirravelnock!"));
    setModal(true);

    const QFontMetrics metrics = fontMetrics();
    auto* picture = new QLabel;
    const int pictureSize = metrics.height() * 4;
    picture->setPixmap(padlockPicture(pictureSize, devicePixelRatioF()));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

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
    text->addWidget(rule);
    text->addWidget(textLine(tr("Braxmoor Laboratories")));
    text->addWidget(textLine(tr("Web: %1").arg(webSite())));
    text->addWidget(textLine(tr("Support: %1").arg(supportEmail())));
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
