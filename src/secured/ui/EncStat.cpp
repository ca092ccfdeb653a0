#include "secured/ui/EncStat.h"

#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/ReplaceQuestion.h"
#include "widgets/Centering.h"
#include "widgets/Job.h"
#include "widgets/UiThreadCall.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace mv::secured {

ListJobResult EncStat::encrypt(const QString& JobFiles, const crypto::SecretText& key, crypto::KeyState& keys,
                               QWidget* owner, bool tellFailure)
{
    EncStat window(true, keys, owner);
    window.tellFailure_ = tellFailure;
    return window.run([&](ListJobCallbacks& callbacks, const ListJobOptions& options) {
        return EncryptFileList(JobFiles, key, callbacks, options);
    });
}

ListJobResult EncStat::decrypt(const QString& JobFiles, crypto::KeyState& keys, QWidget* owner)
{
    EncStat window(false, keys, owner);
    ListJobResult r = window.run([&](ListJobCallbacks& callbacks, const ListJobOptions& options) {
        return DecryptFileList(JobFiles, keys, callbacks, options);
    });
    if (!r.key.isEmpty())
        keys.CurrentKey = r.key;
    return r;
}

EncStat::EncStat(bool encrypt, crypto::KeyState& keys, QWidget* owner)
    : QDialog(owner), keys_(keys), encrypt_(encrypt), job_(new widgets::Job(this, this)),
      Label1_(new QLabel(this)), Stat_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("EncStat"));
    setWindowTitle(tr("Mirravelnock! - Encryption Status"));
    setModal(true);
    keys_.EncryptMode = encrypt;
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setText(encrypt ? tr("Currently encrypting...") : tr("Currently decrypting..."));
    Stat_->setObjectName(QStringLiteral("Stat"));
    Stat_->setReadOnly(true);
    // Reached with Tab, so that a screen reader can read out the file in hand.
    Stat_->setFocusPolicy(Qt::TabFocus);
    Stat_->setAccessibleName(tr("File in hand"));
    Stat_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1_);
    layout->addWidget(Stat_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    keyQuestion = [this](const QString&, crypto::KeyState& k) { return crypto::AskKey::ask(k, this); };
    replaceQuestion = [this](const QString& file, const QString& target) {
        return crypto::askReplaceQuestion(this, file, target);
    };
    tell = [this](const QString& text) { QMessageBox::warning(this, tr("Mirravelnock!"), text); };
}

EncStat::~EncStat()
{
    // run() returns only once the worker has ended; the job goes first all the same.
    delete job_;
    keys_.EncryptMode = false;
}

QString EncStat::errorText(const QString& file, const QString& reason)
{
    return tr("An error occured will working with this file...") + QLatin1Char('\n') +
           QDir::toNativeSeparators(file) + QLatin1Char('\n') + reason;
}

ListJobResult EncStat::run(const std::function<ListJobResult(ListJobCallbacks&, const ListJobOptions&)>& job)
{
    adjustSize();
    widgets::CenterOnOwner(this, parentWidget());
    ListJobOptions options;
    // Every file an encryption leaves stays plain: asked to stop, it still goes to the end.
    if (!encrypt_)
        options.stop = &job_->stopFlag();
    job_->onEnded = [this] { finish(); };
    waitCursor_.show(true);
    job_->runModal([this, job, options] { result_ = job(*this, options); });
    return std::move(result_);
}

void EncStat::finish()
{
    waitCursor_.show(false);
    if (result_.kind == ListJobResult::Stopped && !job_->stopRequested() && tellFailure_)
        tell(errorText(result_.file, result_.reason));
    if (encrypt_ && job_->stopRequested() && result_.kind != ListJobResult::Finished)
        job_->leftUndone();
    accept();
}

void EncStat::closeEvent(QCloseEvent* event)
{
    // A job is never left half done behind the user's back: the window closes when it ends.
    if (job_->running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void EncStat::reject()
{
    if (!job_->running())
        QDialog::reject();
}

// Once the job is asked to stop, nothing is asked any more, and a question already open counts
// as cancelled whatever closed it.
bool EncStat::askKey(const QString& file, crypto::KeyState& keys)
{
    return widgets::onUiThread(
        this, [&] { return !job_->stopRequested() && keyQuestion(file, keys) && !job_->stopRequested(); });
}

ListJobCallbacks::ReplaceAnswer EncStat::askReplace(const QString& file, const QString& target)
{
    return widgets::onUiThread(this, [&] {
        const ReplaceAnswer answer =
            job_->stopRequested() ? ReplaceAnswer::Cancel : replaceQuestion(file, target);
        return job_->stopRequested() ? ReplaceAnswer::Cancel : answer;
    });
}

void EncStat::fileInHand(const QString& file)
{
    QMetaObject::invokeMethod(
        this, [this, file] { Stat_->setText(QDir::toNativeSeparators(file)); }, Qt::QueuedConnection);
}

void EncStat::unableToOpen(const QString& file, const QString& reason)
{
    widgets::onUiThread(this, [&] {
        if (job_->stopRequested())
            return true;
        tell(tr("Unable to open this file...") + QLatin1Char('\n') + QDir::toNativeSeparators(file) +
             QLatin1Char('\n') + reason);
        return true;
    });
}

} // namespace mv::secured
