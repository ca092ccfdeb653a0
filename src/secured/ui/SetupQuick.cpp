#include "secured/ui/SetupQuick.h"

#include "crypto/KeyState.h"
#include "secured/FileListText.h"
#include "secured/QuickListState.h"
#include "secured/SetupRules.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/EncStat.h"
#include "secured/ui/ProgTitle.h"
#include "widgets/Centering.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::secured {

namespace {

// Qt's open dialog over `owner`, opened in the folder of `preset`. A cancel chooses nothing.
QStringList openFiles(QWidget* owner, const QString& title, const QString& preset, QFileDialog::FileMode mode,
                      const QStringList& filters)
{
    QFileDialog dialog(owner, title);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!preset.isEmpty())
        dialog.setDirectory(QFileInfo(preset).absolutePath());
    dialog.adjustSize();
    widgets::CenterOnOwner(&dialog, owner);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

SetupQuick::SetupQuick(QuickListState& state, crypto::KeyState& keys, QWidget* owner)
    : QDialog(owner), state_(state), keys_(keys), QuickListView_(new QListWidget(this)),
      QuickProg_(new QLineEdit(this)), Param_(new QLineEdit(this)),
      ParamBut_(button(tr("From associated file"), "ParamBut", this)), QuickFiles_(new QListWidget(this)),
      AddBut_(button(tr("&Add associated files..."), "AddBut", this)),
      RemoveBut_(button(tr("&Remove associated file"), "RemoveBut", this)),
      BrowseBut_(button(tr("&Browse..."), "BrowseBut", this)),
      DeleteBut_(button(tr("&Delete the selected Item from the List"), "DeleteBut", this)),
      ExitBut_(button(tr("E&xit"), "ExitBut", this))
{
    setObjectName(QStringLiteral("SetupQuick"));
    setWindowTitle(tr("Mirravelnock! - Secured Access List Setup"));
    setModal(true);
    buildControls();

    GetProg = [this](const QString& preset) {
        // Programs here carry no ".EXE": every file is offered.
        return openFiles(this, tr("Select a program"), preset, QFileDialog::ExistingFile,
                         {tr("All Files (*)")})
            .value(0);
    };
    GetData = [this](const QString& preset) {
        // Opened in the program's folder, with nothing chosen: an Enter at once must not make
        // the program itself an associated file and lock it away.
        return openFiles(this, tr("Select assiciated files"), preset, QFileDialog::ExistingFiles, {});
    };
    askYesNo = [this](const QString& question) {
        return QMessageBox::question(this, tr("Mirravelnock!"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    tell = [this](const QString& text) { QMessageBox::warning(this, tr("Mirravelnock!"), text); };
    askTitle = [this](const QString& title) { return ProgTitle::ask(title, this); };
    askKey = [this] { return AsscKey::ask(keys_, this); };

    Form_Load();
}

SetupQuick::~SetupQuick() = default;

void SetupQuick::buildControls()
{
    QuickListView_->setObjectName(QStringLiteral("QuickListView"));
    QuickListView_->setSortingEnabled(true);
    QuickProg_->setObjectName(QStringLiteral("QuickProg"));
    // Only "Browse..." changes an entry's program; the box shows it.
    QuickProg_->setReadOnly(true);
    Param_->setObjectName(QStringLiteral("Param"));
    QuickFiles_->setObjectName(QStringLiteral("QuickFiles"));
    // Screen readers do not take an item view's name from its label.
    QuickListView_->setAccessibleName(tr("Secured Access List"));
    QuickFiles_->setAccessibleName(tr("Associated files"));
    const int chars = fontMetrics().averageCharWidth();
    QuickListView_->setMinimumSize(chars * 28, fontMetrics().height() * 8);
    QuickProg_->setMinimumWidth(chars * 44);
    QuickFiles_->setMinimumHeight(fontMetrics().height() * 6);

    auto* program = new QGridLayout;
    program->addWidget(label(tr("Program to run :"), QuickProg_, this), 0, 0, 1, 2);
    program->addWidget(QuickProg_, 1, 0);
    program->addWidget(BrowseBut_, 1, 1);
    program->addWidget(label(tr("&Command line parameters :"), Param_, this), 2, 0, 1, 2);
    program->addWidget(Param_, 3, 0);
    program->addWidget(ParamBut_, 3, 1);
    program->setRowStretch(4, 1);
    program->addWidget(DeleteBut_, 5, 0, 1, 2, Qt::AlignLeft);

    auto* entries = new QVBoxLayout;
    entries->addWidget(label(tr("&Secured Access List :"), QuickListView_, this));
    entries->addWidget(QuickListView_);
    auto* top = new QHBoxLayout;
    top->addLayout(entries, 1);
    top->addLayout(program, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddBut_);
    buttons->addWidget(RemoveBut_);
    buttons->addStretch(1);
    buttons->addWidget(ExitBut_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(label(tr("Associated &files from the current selected item in Secured Access List :"),
                            QuickFiles_, this));
    layout->addWidget(QuickFiles_, 1);
    layout->addLayout(buttons);

    setTabOrder(QuickListView_, QuickProg_);
    setTabOrder(QuickProg_, BrowseBut_);
    setTabOrder(BrowseBut_, Param_);
    setTabOrder(Param_, ParamBut_);
    setTabOrder(ParamBut_, DeleteBut_);
    setTabOrder(DeleteBut_, QuickFiles_);
    setTabOrder(QuickFiles_, AddBut_);
    setTabOrder(AddBut_, RemoveBut_);
    setTabOrder(RemoveBut_, ExitBut_);

    connect(QuickListView_, &QListWidget::itemSelectionChanged, this, &SetupQuick::QuickListView_Click);
    connect(QuickFiles_, &QListWidget::itemSelectionChanged, this, &SetupQuick::UpdateButtons);
    connect(Param_, &QLineEdit::textChanged, this, &SetupQuick::Param_Change);
    connect(ParamBut_, &QPushButton::clicked, this, &SetupQuick::ParamBut_Click);
    connect(BrowseBut_, &QPushButton::clicked, this, &SetupQuick::BrowseBut_Click);
    connect(AddBut_, &QPushButton::clicked, this, &SetupQuick::AddBut_Click);
    connect(RemoveBut_, &QPushButton::clicked, this, &SetupQuick::RemoveBut_Click);
    connect(DeleteBut_, &QPushButton::clicked, this, &SetupQuick::DeleteBut_Click);
    connect(ExitBut_, &QPushButton::clicked, this, &QDialog::accept);
}

void SetupQuick::Form_Load()
{
    const QSignalBlocker quiet(QuickListView_);
    QuickListView_->clear();
    for (int n = 1; n <= state_.count(); ++n) {
        auto* item = new QListWidgetItem(state_.entry(n).Title);
        item->setData(Qt::UserRole, n);
        QuickListView_->addItem(item);
    }
    QuickListView_->clearSelection();
    QuickListView_->setCurrentItem(nullptr);
    UpdateButtons();
}

int SetupQuick::selectedEntry() const
{
    const QList<QListWidgetItem*> selected = QuickListView_->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Qt::UserRole).toInt();
}

QStringList SetupQuick::listedFiles() const
{
    QStringList files;
    for (int i = 0; i < QuickFiles_->count(); ++i)
        files << QuickFiles_->item(i)->text();
    return files;
}

void SetupQuick::UpdateButtons()
{
    const bool entry = QuickListView_->count() > 0 && selectedEntry() > 0;
    for (QWidget* w : {static_cast<QWidget*>(DeleteBut_), static_cast<QWidget*>(Param_),
                       static_cast<QWidget*>(QuickFiles_), static_cast<QWidget*>(AddBut_)})
        w->setEnabled(entry);
    const bool file = !QuickFiles_->selectedItems().isEmpty();
    RemoveBut_->setEnabled(file);
    ParamBut_->setEnabled(file);
}

void SetupQuick::QuickListView_Click()
{
    state_.SaveQuickList();
    const int n = selectedEntry();
    if (n > 0 && state_.isEntry(n)) {
        QuickProg_->setText(state_.entry(n).Path);
        Param_->setText(state_.entry(n).Params);
        QuickFiles_->clearSelection();
        QuickFiles_->clear();
        QuickFiles_->addItems(splitFileList(state_.entry(n).Data));
        if (QuickFiles_->count() > 0)
            QuickFiles_->setCurrentRow(0);
    }
    UpdateButtons();
}

void SetupQuick::Param_Change()
{
    const int n = selectedEntry();
    if (n <= 0 || !state_.isEntry(n) || state_.entry(n).Params == Param_->text())
        return;
    state_.entry(n).Params = Param_->text();
    state_.SaveQuickList();
}

void SetupQuick::ParamBut_Click()
{
    const QList<QListWidgetItem*> selected = QuickFiles_->selectedItems();
    if (selected.isEmpty())
        return;
    // The program gets the file as one argument, however its name is spelled.
    Param_->setText(shellQuoted(selected.first()->text()));
    state_.SaveQuickList();
}

void SetupQuick::BrowseBut_Click()
{
    const QString file = GetProg(QuickProg_->text());
    if (!file.isEmpty()) {
        const int n = selectedEntry();
        if (n > 0 && !askYesNo(tr("Will this be a new entry?"))) {
            // The selected entry runs another program.
            QListWidgetItem* item = QuickListView_->selectedItems().first();
            const QString title = askTitle(item->text());
            item->setText(title);
            state_.entry(n).Title = title;
            state_.entry(n).Path = file;
            QuickListView_Click();
            state_.SaveQuickList();
            return;
        }
        const QString title = askTitle(proposedTitle(file));
        crypto::SecretText key = askKey();
        if (!key.isEmpty()) {
            QuickItem entry;
            entry.Title = title;
            entry.Path = file;
            entry.Key = std::move(key);
            const int added = state_.appendEntry(std::move(entry));
            auto* item = new QListWidgetItem(title);
            item->setData(Qt::UserRole, added);
            QuickListView_->addItem(item);
            QuickListView_->setCurrentItem(item); // shows it, as a click does
        }
    }
    state_.SaveQuickList();
    UpdateButtons();
}

void SetupQuick::AddBut_Click()
{
    const int n = selectedEntry();
    if (n <= 0)
        return;
    const QStringList chosen = GetData(QuickProg_->text());
    if (chosen.isEmpty())
        return;
    for (const QString& file : chosen) {
        // "|" separates the files of an entry: such a name would stand for other files.
        if (file.contains(QLatin1Char('|'))) {
            tell(tr("%1\ncannot be an associated file: its name holds \"|\", which separates the "
                    "files of the list.")
                     .arg(file));
            continue;
        }
        QuickFiles_->addItem(listedName(file));
    }
    if (listedFiles() == splitFileList(state_.entry(n).Data))
        return;
    state_.entry(n).Data = joinFileList(listedFiles());
    state_.SaveQuickList();
    encryptEntryFiles(n);
}

void SetupQuick::encryptEntryFiles(int n)
{
    QuickItem& entry = state_.entry(n);
    if (entry.Key.isEmpty()) {
        // Until a key is typed the files stay listed, unencrypted; the next addition or the
        // end of the next start encrypts them.
        crypto::SecretText key = askKey();
        if (key.isEmpty())
            return;
        entry.Key = std::move(key);
    }
    (void)EncStat::encrypt(entry.Data, entry.Key, keys_, this);
}

void SetupQuick::RemoveBut_Click()
{
    (void)removeFiles(false);
}

bool SetupQuick::removeFiles(bool RemovingAll)
{
    const int n = selectedEntry();
    const QList<QListWidgetItem*> selected = QuickFiles_->selectedItems();
    if (n <= 0 || (!RemovingAll && selected.isEmpty()))
        return true;
    const QString JobFiles = RemovingAll ? state_.entry(n).Data : selected.first()->text();
    if (EncStat::decrypt(JobFiles, keys_, this).kind == ListJobResult::KeyCancelled) {
        state_.SaveQuickList();
        UpdateButtons();
        return false;
    }
    const QString question = tr("File was not decrypted, keep it anyway?");
    if (RemovingAll) {
        QStringList kept;
        for (const QString& file : listedFiles()) {
            if (stillEncrypted(file) && askYesNo(question))
                kept << file;
        }
        QuickFiles_->clear();
        QuickFiles_->addItems(kept);
    } else {
        if (stillEncrypted(JobFiles) && askYesNo(question))
            return true;
        delete selected.first();
        QuickFiles_->clearSelection();
    }
    state_.entry(n).Data = joinFileList(listedFiles());
    state_.SaveQuickList();
    UpdateButtons();
    return true;
}

void SetupQuick::DeleteBut_Click()
{
    const int n = selectedEntry();
    if (n <= 0)
        return;
    if (QuickFiles_->count() > 0 && !removeFiles(true))
        return;
    // An entry keeps going while a file of it stays locked: its key is still needed.
    if (state_.entry(n).Data.isEmpty()) {
        QuickProg_->clear();
        Param_->clear();
        if (state_.deleteEntry(n))
            Form_Load(); // the later entries moved down: the list shows their new numbers
    }
    state_.SaveQuickList();
    UpdateButtons();
}

} // namespace mv::secured
