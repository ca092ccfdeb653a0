#include "crypto/ui/EncDecProcess.h"

#include "crypto/EncDecTexts.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/LeftoverQuestion.h"
#include "crypto/ui/ReplaceQuestion.h"
#include "widgets/Centering.h"
#include "widgets/Job.h"
#include "widgets/UiThreadCall.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::crypto {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

EncDecProcess::EncDecProcess(EncDecJob job, QWidget* owner)
    : QDialog(owner), encrypt_(job.encrypt), EncDecLabel_(new QLabel(this)), fileLabel_(new QLabel(this)),
      bar_(new QProgressBar(this)), CancelBut_(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("EncDecProcess"));
    setWindowTitle(tr("Mirravelnock! - Encryption/Decryption Process"));
    setModal(true);
    EncDecLabel_->setText(encrypt_ ? tr("Mirravelnock! is currently Encrypting files...")
                                   : tr("Mirravelnock! is currently Decrypting files..."));
    fileLabel_->setTextFormat(Qt::PlainText);
    fileLabel_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    bar_->setAccessibleName(tr("Progress"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EncDecLabel_);
    layout->addWidget(fileLabel_);
    layout->addWidget(bar_);
    layout->addWidget(CancelBut_, 0, Qt::AlignRight);
    connect(CancelBut_, &QPushButton::clicked, this, &EncDecProcess::CancelBut_Click);

    keyQuestion = [this](const QString&, KeyState& keys) { return AskKey::ask(keys, this); };
    replaceQuestion = [this](const QString& file, const QString& target) {
        return askReplaceQuestion(this, file, target);
    };
    leftoverQuestion = [this](const QStringList& files) {
        return crypto::askWipeLeftovers(this, windowTitle(), files);
    };
    cancelQuestion = [this] {
        return QMessageBox::information(this, windowTitle(), tr("Cancel the current opperation?"),
                                        QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::No) == QMessageBox::Yes;
    };
    tell = [this](const QString& text, bool problem) {
        if (problem)
            QMessageBox::warning(this, tr("Mirravelnock!"), text);
        else
            QMessageBox::information(this, tr("Mirravelnock!"), text);
    };
    batch_ = std::make_unique<EncDecBatch>(std::move(job), static_cast<EncDecCallbacks&>(*this));
    // One of the window's jobs. Asked to stop (the program is ending), the run stops as the
    // Cancel question's Yes stops it, and from then on nothing is asked or told.
    job_ = new widgets::Job(this, this);
    job_->onStop = [this] {
        exiting_ = true;
        batch_->cancel();
    };
    job_->onEnded = [this] { finish(); };
}

EncDecProcess::~EncDecProcess()
{
    if (job_->running())
        batch_->cancel();
    delete job_;
}

EncDecResult EncDecProcess::run()
{
    adjustSize();
    widgets::CenterOnOwner(this, parentWidget());
    running_ = true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    job_->runModal([this] { result_ = batch_->run(); });
    return result_;
}

void EncDecProcess::finish()
{
    QGuiApplication::restoreOverrideCursor();
    // Files the run never reached are left as they were, which the exit status tells.
    if (exiting_ && result_.cancelled)
        job_->leftUndone();
    if (const QString text = passedOverText(result_, encrypt_); !text.isEmpty() && !exiting_)
        tell(text, false);
    if (const QString text = problemsText(result_, encrypt_); !text.isEmpty() && !exiting_)
        tell(text, true);
    running_ = false;
    accept();
}

void EncDecProcess::CancelBut_Click()
{
    if (running_ && !exiting_ && cancelQuestion())
        batch_->cancel();
}

void EncDecProcess::closeEvent(QCloseEvent* event)
{
    // Never closed while it runs: the question is asked and the run ends on its own.
    if (running_) {
        if (!exiting_)
            CancelBut_Click();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void EncDecProcess::reject()
{
    if (running_) {
        if (!exiting_)
            CancelBut_Click();
        return;
    }
    QDialog::reject();
}

// Once the program is ending, a question is not asked, and one that was open counts as
// cancelled whatever closed it.
bool EncDecProcess::askKey(const QString& file, KeyState& keys)
{
    return widgets::onUiThread(this, [&] { return !exiting_ && keyQuestion(file, keys) && !exiting_; });
}

EncDecCallbacks::ReplaceAnswer EncDecProcess::askReplace(const QString& file, const QString& target)
{
    return widgets::onUiThread(this, [&] {
        const ReplaceAnswer answer = exiting_ ? ReplaceAnswer::Cancel : replaceQuestion(file, target);
        return exiting_ ? ReplaceAnswer::Cancel : answer;
    });
}

bool EncDecProcess::askWipeLeftovers(const QStringList& files)
{
    return widgets::onUiThread(this, [&] { return !exiting_ && leftoverQuestion(files) && !exiting_; });
}

void EncDecProcess::progress(const EncDecProgress& p)
{
    QMetaObject::invokeMethod(
        this, [this, p] { showProgress(p); }, Qt::QueuedConnection);
}

void EncDecProcess::showProgress(const EncDecProgress& p)
{
    fileLabel_->setText(fontMetrics().elidedText(shown(p.file), Qt::ElideMiddle, fileLabel_->width()));
    const double files = p.filesTotal > 0 ? double(p.filesDone) / p.filesTotal : 0.0;
    const double bytes = p.bytesTotal > 0 ? double(p.bytesDone) / double(p.bytesTotal) : files;
    // Bytes tell how far a run of a few large files is, files how far a run of many small ones.
    bar_->setValue(int(500 * (files + bytes)));
    bar_->setFormat(tr("%1 of %2 files").arg(p.filesDone).arg(p.filesTotal));
}

} // namespace mv::crypto
