#include "crypto/ui/ReplaceQuestion.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace mv::crypto {

namespace {
} // namespace

EncDecCallbacks::ReplaceAnswer askReplaceQuestion(QWidget* owner, const QString& file, const QString& target)
{
    using Answer = EncDecCallbacks::ReplaceAnswer;
    QMessageBox box(QMessageBox::Question, owner ? owner->windowTitle() : QString(),
                    QCoreApplication::translate("mv::crypto::EncDecProcess",
                                                "%1 already exists.\nWorking on %2 would replace it.")
                        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(file)),
                    QMessageBox::NoButton, owner);
    QPushButton* replace = box.addButton(QCoreApplication::translate("mv::crypto::EncDecProcess", "Replace"),
                                         QMessageBox::AcceptRole);
    QPushButton* all = box.addButton(QCoreApplication::translate("mv::crypto::EncDecProcess", "Replace all"),
                                     QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(QCoreApplication::translate("mv::crypto::EncDecProcess", "Skip"),
                                      QMessageBox::RejectRole);
    box.addButton(QCoreApplication::translate("mv::crypto::EncDecProcess", "Cancel"),
                  QMessageBox::RejectRole);
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
