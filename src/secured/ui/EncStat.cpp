#include "secured/ui/EncStat.h"

#include "crypto/KeyState.h"
#include "crypto/ui/AskKeyDialog.h"
#include "crypto/ui/ReplaceQuestion.h"
#include "widgets/Centering.h"
#include "widgets/UiThreadCall.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>
#include <QVBoxLayout>

namespace mv::secured {

ListJobResult EncStat::encrypt(const QString& JobFiles, const crypto::SecretText& key, crypto::KeyState& keys,
                               QWidget* owner)
{
    EncStat window(true, keys, owner);
    return window.run([&](ListJobCallbacks& callbacks) { return EncryptFileList(JobFiles, key, callbacks); });
}

ListJobResult EncStat::decrypt(const QString& JobFiles, crypto::KeyState& keys, QWidget* owner)
{
    EncStat window(false, keys, owner);
    ListJobResult r =
        window.run([&](ListJobCallbacks& callbacks) { return DecryptFileList(JobFiles, keys, callbacks); });
    if (!r.key.isEmpty())
        keys.CurrentKey = r.key;
    return r;
}

EncStat::EncStat(bool encrypt, crypto::KeyState& keys, QWidget* owner)
    : QDialog(owner), keys_(keys), Label1_(new QLabel(this)), Stat_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("EncStat"));
    setWindowTitle(tr("Mirravelnock! - Encryption Status"));
    setModal(true);
    keys_.EncryptMode = encrypt;
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setText(encrypt ? tr("Currently encrypting...") : tr("Currently decrypting..."));
    Stat_->setObjectName(QStringLiteral("Stat"));
    Stat_->setReadOnly(true);
    Stat_->setFocusPolicy(Qt::NoFocus);
    Stat_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1_);
    layout->addWidget(Stat_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    keyQuestion = [this](const QString&, crypto::KeyState& k) { return crypto::AskKeyDialog::ask(k, this); };
    replaceQuestion = [this](const QString& file, const QString& target) {
        return crypto::askReplaceQuestion(this, file, target);
    };
    tell = [this](const QString& text) { QMessageBox::warning(this, tr("Mirravelnock!"), text); };
}

EncStat::~EncStat()
{
    // Never while a job runs: run() returns only once the worker has ended.
    keys_.EncryptMode = false;
}

QString EncStat::errorText(const QString& file, const QString& reason)
{
    return tr("An error occured will working with this file...") + QLatin1Char('\n') +
           QDir::toNativeSeparators(file) + QLatin1Char('\n') + reason;
}

ListJobResult EncStat::run(const Job& job)
{
    adjustSize();
    widgets::CenterOnOwner(this, parentWidget());
    worker_ = QThread::create([this, job] { result_ = job(*this); });
    connect(worker_, &QThread::finished, this, &EncStat::finish);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    worker_->start();
    exec();
    return std::move(result_);
}

void EncStat::finish()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    QGuiApplication::restoreOverrideCursor();
    if (result_.kind == ListJobResult::Stopped)
        tell(errorText(result_.file, result_.reason));
    accept();
}

void EncStat::closeEvent(QCloseEvent* event)
{
    // A job is never left half done behind the user's back: the window closes when it ends.
    if (worker_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void EncStat::reject()
{
    if (!worker_)
        QDialog::reject();
}

bool EncStat::askKey(const QString& file, crypto::KeyState& keys)
{
    return widgets::onUiThread(this, [&] { return keyQuestion(file, keys); });
}

ListJobCallbacks::ReplaceAnswer EncStat::askReplace(const QString& file, const QString& target)
{
    return widgets::onUiThread(this, [&] { return replaceQuestion(file, target); });
}

void EncStat::fileInHand(const QString& file)
{
    QMetaObject::invokeMethod(
        this, [this, file] { Stat_->setText(QDir::toNativeSeparators(file)); }, Qt::QueuedConnection);
}

void EncStat::unableToOpen(const QString& file, const QString& reason)
{
    widgets::onUiThread(this, [&] {
        tell(tr("Unable to open this file...") + QLatin1Char('\n') + QDir::toNativeSeparators(file) +
             QLatin1Char('\n') + reason);
        return true;
    });
}

} // namespace mv::secured
