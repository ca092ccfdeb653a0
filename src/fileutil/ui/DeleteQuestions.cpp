#include "fileutil/ui/DeleteQuestions.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace mv::fileutil {

namespace {

QString tr(const char* text, int n = -1)
{
    return QCoreApplication::translate("mv::fileutil::DeleteQuestions", text, nullptr, n);
}

// A message box lists this many files at most, then says how many more there are.
constexpr int kListedFiles = 15;

} // namespace

QString deleteQuestion(int count, bool safe)
{
    if (count == 1)
        return safe ? tr("Safe delete the selected file?") + QLatin1Char('\n') + tr("This can not be undone.")
                    : tr("Delete the selected file?");
    const QString n = QString::number(count);
    return safe ? tr("Safe delete the selected ") + n + tr(" files?") + QLatin1Char('\n') +
                      tr("This can not be undone.")
                : tr("Delete the selected ") + n + tr(" files?");
}

bool confirmDelete(QWidget* owner, int count, bool safe, const QString& warning)
{
    QMessageBox box(QMessageBox::Question, tr("Mirravelnock!"), deleteQuestion(count, safe),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName(QStringLiteral("DeleteConfirm"));
    box.setInformativeText(warning);
    box.setDefaultButton(safe ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString goOnQuestion(const desktop::FileFailure& failure)
{
    return tr("Can't safe delete file, ") + QDir::toNativeSeparators(failure.path) + QStringLiteral(": ") +
           resultText(failure.result) + QStringLiteral("\n\n") + tr("Continue with next file?");
}

bool askGoOnAfterFailure(QWidget* owner, const desktop::FileFailure& failure)
{
    return QMessageBox::question(owner, tr("Mirravelnock : Safe Delete"), goOnQuestion(failure),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

// Each file and why, one a line, at most kListedFiles of them.
QString listed(const QList<desktop::FileFailure>& failures)
{
    QStringList lines;
    for (int i = 0; i < failures.size() && i < kListedFiles; ++i)
        lines << QDir::toNativeSeparators(failures[i].path) + QStringLiteral(": ") +
                     reasonText(failures[i].result);
    if (failures.size() > kListedFiles)
        lines << tr("and %n more.", int(failures.size() - kListedFiles));
    return lines.join(QLatin1Char('\n'));
}

QString notTrashedText(const QList<desktop::FileFailure>& failures)
{
    return tr("%n file(s) could not be moved to the trash and stay where they were:", int(failures.size())) +
           QStringLiteral("\n\n") + listed(failures);
}

QString tracesLeftText(const QList<desktop::FileFailure>& failures)
{
    return tr("These files were safe-deleted, but the desktop keeps thumbnails of them that could not be "
              "wiped:") +
           QStringLiteral("\n\n") + listed(failures);
}

void tellNotTrashed(QWidget* owner, const QList<desktop::FileFailure>& failures)
{
    QMessageBox::warning(owner, tr("Mirravelnock!"), notTrashedText(failures));
}

} // namespace mv::fileutil
