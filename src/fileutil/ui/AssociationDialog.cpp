#include "fileutil/ui/AssociationDialog.h"

#include "desktop/DocumentType.h"
#include "widgets/Centering.h"
#include "widgets/Job.h"

#include <QCloseEvent>

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::fileutil {

namespace {

QStringList captions()
{
    return {
        AssociationDialog::tr("ART - PFS First Publisher"),
        AssociationDialog::tr("BMP - Microsoft Windows and OS2 bitmaps"),
        AssociationDialog::tr("CUT - Dr. Halo"),
        AssociationDialog::tr("DIB - MS Windows Device Independent Bitmaps"),
        AssociationDialog::tr("EMF - Windows Enhanced Meta-files"),
        AssociationDialog::tr("GEM - GEM Raster files (Digital Research)"),
        AssociationDialog::tr("GIF - CompuServe Graphics Interchange Format"),
        AssociationDialog::tr("HRZ - Slow Scan Television"),
        AssociationDialog::tr("IFF - Interchange File Format"),
        AssociationDialog::tr("IMG - GEM Raster files (Digital Research)"),
        AssociationDialog::tr("JPG - Joint Photographics Experts Group"),
        AssociationDialog::tr("LBM - Interchange File Format"),
        AssociationDialog::tr("MAC - Macintosh Paint"),
        AssociationDialog::tr("MSP - Microsoft Paint"),
        AssociationDialog::tr("PCX - ZSoft PC Paintbrush"),
        AssociationDialog::tr("PIC - Pictor PC Paint"),
        AssociationDialog::tr("PNG - CompuServe Portable Network Graphics"),
        AssociationDialog::tr("RAS - Sun Raster files"),
        AssociationDialog::tr("RLE - Run-length Encoded BMP files"),
        AssociationDialog::tr("TGA - Targa TrueVision Files"),
        AssociationDialog::tr("TIF - Tagged Image File Format (PC or Mac)"),
        AssociationDialog::tr("WMF - Windows Meta-files"),
        AssociationDialog::tr("WPG - Word Perfect Graphics"),
    };
}

} // namespace

AssociationDialog::AssociationDialog(desktop::AssociationBackups& backups, const QString& executable,
                                     QWidget* owner)
    : QDialog(owner), backups_(backups), executable_(executable), job_(new widgets::Job(this, this))
{
    setObjectName(QStringLiteral("frmAsc"));
    setWindowTitle(tr("Mirravelnock! File Association"));
    auto* boxes = new QGridLayout;
    const QStringList texts = captions();
    const int rows = (desktop::kAssociationBoxCount + 1) / 2;
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i) {
        auto* box = new QCheckBox(texts[i]);
        box->setObjectName(QStringLiteral("Check1_%1").arg(i));
        boxes->addWidget(box, i % rows, i / rows);
        Check1_[size_t(i)] = box;
    }

    butAssociate_ = new QPushButton(tr("&Associate"));
    butAssociate_->setObjectName(QStringLiteral("butAssociate"));
    butAssociate_->setDefault(true);
    Command1_ = new QPushButton(tr("&Select All"));
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command3_ = new QPushButton(tr("&Deselect All"));
    Command3_->setObjectName(QStringLiteral("Command3"));
    Command2_ = new QPushButton(tr("&Cancel"));
    Command2_->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1_);
    buttons->addWidget(Command3_);
    buttons->addStretch();
    buttons->addWidget(butAssociate_);
    buttons->addWidget(Command2_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    connect(Command1_, &QPushButton::clicked, this, &AssociationDialog::Command1_Click);
    connect(Command3_, &QPushButton::clicked, this, &AssociationDialog::Command3_Click);
    connect(Command2_, &QPushButton::clicked, this, &QDialog::reject);
    connect(butAssociate_, &QPushButton::clicked, this, &AssociationDialog::butAssociate_Click);
    // One of the window's jobs: a quit waits for the desktop's files to be written, and this
    // window closes only after that.
    job_->onEnded = [this] {
        QGuiApplication::restoreOverrideCursor();
        accept();
    };
    Form_Load();
}

AssociationDialog::~AssociationDialog()
{
    delete job_;
}

void AssociationDialog::runModal(desktop::AssociationBackups& backups, QWidget* owner)
{
    AssociationDialog dialog(backups, QCoreApplication::applicationFilePath(), owner);
    widgets::CenterOnOwner(&dialog, owner);
    dialog.exec();
}

void AssociationDialog::Form_Load()
{
    const desktop::AssociationBoxes state = desktop::associatedBoxes();
    for (size_t i = 0; i < state.size(); ++i)
        if (state[i])
            Check1_[i]->setChecked(true);
}

void AssociationDialog::Command1_Click()
{
    for (QCheckBox* box : Check1_)
        box->setChecked(true);
}

void AssociationDialog::Command3_Click()
{
    for (QCheckBox* box : Check1_)
        box->setChecked(false);
}

void AssociationDialog::reject()
{
    if (!job_->running())
        QDialog::reject();
}

void AssociationDialog::closeEvent(QCloseEvent* event)
{
    if (job_->running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void AssociationDialog::butAssociate_Click()
{
    if (job_->running())
        return;
    desktop::AssociationBoxes boxes {};
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = Check1_[i]->isChecked();
    // The window stays, with the hourglass, until the desktop's files are written; it can't be
    // closed half-way.
    setEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    desktop::AssociationBackups* backups = &backups_;
    const QString executable = executable_;
    job_->start([this, boxes, backups, executable] {
        const desktop::RegisterOutcome registered = desktop::RegisterDocumentType(executable);
        result_ = registered.status ? desktop::associate(boxes, *backups) : registered.status;
    });
}

} // namespace mv::fileutil
