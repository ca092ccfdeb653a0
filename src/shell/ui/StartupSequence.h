// The main window's way in and out: loading (stored settings applied through the same
// handlers the menus use, the last folder listed, the start-up file shown), the hand-over of a
// file from a later copy, and what is written back at unload.
#pragma once

#include <QObject>
#include <QString>

namespace mv::shell {

class MainWindow;

class StartupSequence : public QObject {
    Q_OBJECT

public:
    // `startupFile` is the completed "/F=" path (or empty); `minimized` is "/M".
    StartupSequence(MainWindow& window, QString startupFile, bool minimized);

    // `Form_Load`. The window is shown before the last folder is listed, so a huge folder
    // never delays the first paint; `loaded()` follows once the list is filled.
    void Form_Load();
    // Takes the "StartupImage" mailbox and shows that file. A file whose folder can't be
    // opened leaves the mailbox for the next try.
    void ShowStartupImage();

signals:
    void loaded();

private:
    void applyStoredSettings();
    void applyGeometry();
    void finishLoading();
    void Form_Unload();

    MainWindow& window_;
    QString startupFile_;
    bool minimized_;
    int storedState_ = 0;
};

} // namespace mv::shell
