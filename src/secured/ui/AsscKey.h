// `AsscKey`: the key of an entry's associated files, typed twice. Used when a new entry is
// made, when files are added to an entry whose key is not known yet, and when files of an
// entry lie plain with no key known to encrypt them (a start, the offer after a crash). The key joins the
// key cache, as every typed key does.
#pragma once

#include "crypto/SecretText.h"

#include <QDialog>

class QPushButton;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::widgets {
class KeyField;
} // namespace mv::widgets

namespace mv::secured {

class AsscKey : public QDialog {
    Q_OBJECT

public:
    // `heading` replaces the usual line above the boxes (to name the entry and its files).
    AsscKey(crypto::KeyState& keys, QWidget* owner, const QString& heading = {});
    ~AsscKey() override;

    // Shows the window over `owner`. Returns the key, which is also `CurrentKey` and in the
    // key cache; empty (and `CurrentKey` emptied) when the window was cancelled.
    static crypto::SecretText ask(crypto::KeyState& keys, QWidget* owner, const QString& heading = {});

    // `CheckKeys`: OK is enabled only for two equal keys of at least four characters; when
    // it becomes enabled it takes the focus.
    void CheckKeys();
    void OKBut_Click();
    void CancelBut_Click();
    [[nodiscard]] bool Cancelled() const { return cancelled_; }
    [[nodiscard]] const crypto::SecretText& key() const { return key_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool keysAcceptable() const;

    crypto::KeyState& keys_;
    bool cancelled_ = true;
    crypto::SecretText key_;
    widgets::KeyField* KeyOne_;
    widgets::KeyField* KeyTwo_;
    QPushButton* OKBut_;
    QPushButton* CancelBut_;
};

} // namespace mv::secured
