// The viewer as the window wires it, on a host of its own: the file list, the picture area,
// the information bar and the keys, laid out as the window lays them out, over a scratch
// folder. A base of the viewer's test fixtures, or a test's own; with the viewing tests' files.
#pragma once

#include "../ViewingTestFiles.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/KeyState.h"
#include "sandbox/HelperPool.h"
#include "viewing/ui/PictureArea.h"
#include "viewing/ui/SelectionViewer.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mv::viewing::test {

struct ViewerParts {
    ViewerParts() = default;
    explicit ViewerParts(sandbox::PoolOptions options) : decoders_(std::move(options)) {}

#ifdef MV_HOSTILE_HELPER
    // Over the test build of the helper (HostileHelper.cpp), which a file beginning
    // "MVTEST-HOSTILE " turns against the program.
    static sandbox::PoolOptions hostile(int maxHelpers = 0)
    {
        sandbox::PoolOptions options;
        options.program = QStringLiteral(MV_HOSTILE_HELPER);
        options.maxHelpers = maxHelpers;
        return options;
    }
#endif

    QTemporaryDir dir_;
    sandbox::HelperPool decoders_; // outlives the viewer, which decodes in it
    QWidget host_;
    browser::BrowserPane* browser_ = new browser::BrowserPane(&host_);
    PictureArea* area_ = new PictureArea(&host_);
    QLineEdit* infoBar_ = new QLineEdit(&host_);
    crypto::KeyState keys_;
    SelectionViewer viewer_ {decoders_, *browser_, *area_, infoBar_, keys_, &host_};

    // Shows the parts with an area `areaWidth` wide and lists the folder, all files, which
    // holds `files` of them.
    [[nodiscard]] bool open(int files, int areaWidth = 500)
    {
        host_.resize(800, 600);
        browser_->fileList()->setGeometry(0, 0, 300, 560);
        area_->setGeometry(300, 0, areaWidth, 560);
        host_.show();
        browser_->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        return QTest::qWaitForWindowExposed(&host_) && browser_->setFolder(dir_.path()) &&
               QTest::qWaitFor([&] { return list()->names().size() == files; });
    }
    [[nodiscard]] browser::FileListView* list() const
    {
        return browser_->fileList();
    }
    [[nodiscard]] QString path(const QString& name) const
    {
        return dir_.filePath(name);
    }
    [[nodiscard]] QModelIndex entry(const QString& name) const
    {
        return list()->model()->index(list()->find(name), 0);
    }
    [[nodiscard]] QRect rowOf(const QString& name) const
    {
        return list()->visualRect(entry(name));
    }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    void writePicture(const QString& name, const QImage& image) const
    {
        ASSERT_TRUE(image.save(path(name)));
    }
    // Runs how and waits until the viewer has settled what it chose.
    template <typename How>
    void settleAfter(How how)
    {
        QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
        how();
        ASSERT_TRUE(settled.count() || settled.wait(20000));
    }
    // Selects the entry `name`, as a click does, and waits until the viewer has settled.
    void choose(const QString& name)
    {
        settleAfter([&] { list()->selectRow(list()->find(name)); });
    }
};

} // namespace mv::viewing::test
