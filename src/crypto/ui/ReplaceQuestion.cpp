#include "crypto/ui/ReplaceQuestion.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace mv::crypto {

namespace {
QString tr(const char* text)
{
    return QCoreApplication::translate("mv::crypto::EncDecProcess", text);
}
} // namespace

EncDecCallbacks::ReplaceAnswer askReplaceQuestion(QWidget* owner, const QString& file, const QString& target)
{
    using Answer = EncDecCallbacks::ReplaceAnswer;
    QMessageBox box(QMessageBox::Question, owner ? owner->windowTitle() : QString(),
                    tr("%1 already exists.\nWorking on %2 would replace it.")
                        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(file)),
                    QMessageBox::NoButton, owner);
    QPushButton* replace = box.addButton(tr("Replace"), QMessageBox::AcceptRole);
    QPushButton* all = box.addButton(tr("Replace all"), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(tr("Skip"), QMessageBox::RejectRole);
    box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(skip);
    box.exec();
    if (box.clickedButton() == replace)
        return Answer::Replace;
    if (box.clickedButton() == all)
        return Answer::ReplaceAll;
    if (box.clickedButton() == skip)
        return Answer::Skip;
    return Answer::Cancel;
}

} // namespace mv::crypto
