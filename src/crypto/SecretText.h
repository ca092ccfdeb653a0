// A key as typed: its bytes (UTF-8) in guarded memory of its own (libsodium's: locked so it
// never reaches swap, left out of core files, fenced by pages that trap an overrun), overwritten
// with zeros when the text changes or goes away, and never shared behind the caller's back as
// Qt's implicitly shared strings would be.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>

namespace mv::crypto {

class SecretText {
public:
    SecretText() = default;
    // Takes the UTF-8 bytes of `text`. The caller still owns `text` and should clear it.
    static SecretText fromText(const QString& text);
    static SecretText fromBytes(const char* data, std::size_t size);
    ~SecretText();

    SecretText(const SecretText& other);
    SecretText& operator=(const SecretText& other);
    SecretText(SecretText&& other) noexcept;
    SecretText& operator=(SecretText&& other) noexcept;

    [[nodiscard]] const char* data() const { return data_.get(); }
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool isEmpty() const { return size_ == 0; }
    // Exact, byte for byte, in constant time for equal lengths.
    [[nodiscard]] bool operator==(const SecretText& other) const;

    // Overwrites the bytes with zeros and empties the text.
    void wipe();

private:
    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> data_;
    std::size_t size_ = 0;
};

// Overwrites the characters of a QString the user typed (a dialog's text field, once read)
// and empties it. Only this string's own buffer is cleared: take care that it is not shared.
void wipeString(QString& text);

} // namespace mv::crypto
