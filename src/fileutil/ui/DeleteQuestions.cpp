#include "fileutil/ui/DeleteQuestions.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace mv::fileutil {

namespace {

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1)
{
    return QCoreApplication::translate("mv::fileutil", text, disambiguation, n);
}

// A message box lists this many files at most, then says how many more there are.
constexpr int kListedFiles = 15;

} // namespace

QString deleteQuestion(int count, bool safe)
{
    // One file is named as "the selected file"; a translator's plural forms start at two.
    if (count == 1)
        return safe ? tr("Safe delete the selected file?\nThis can not be undone.")
                    : tr("Delete the selected file?");
    return safe ? tr("Safe delete the selected %n files?\nThis can not be undone.", nullptr, count)
                : tr("Delete the selected %n files?", nullptr, count);
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
    return tr("Can't safe delete file, %1: %2\n\nContinue with next file?")
        .arg(QDir::toNativeSeparators(failure.path), resultText(failure.result));
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
        lines << tr("and %n more.", nullptr, int(failures.size() - kListedFiles));
    return lines.join(QLatin1Char('\n'));
}

QString notTrashedText(const QList<desktop::FileFailure>& failures)
{
    return tr("%n file(s) could not be moved to the trash and stay where they were:", nullptr,
              int(failures.size())) +
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
