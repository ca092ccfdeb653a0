// The characters of a key while it is being typed, kept where a key belongs: in guarded memory
// of a fixed size (never reallocated, so no old copy is left behind), overwritten when erased.
// A key box edits this buffer and shows only a mask of the same length.
#pragma once

#include "crypto/SecretText.h"

#include <QStringView>

#include <cstddef>

namespace mv::crypto {

class KeyEditBuffer {
public:
    // Room for `capacity` UTF-16 units, as a text box counts its length.
    explicit KeyEditBuffer(int capacity);
    ~KeyEditBuffer();
    KeyEditBuffer(const KeyEditBuffer&) = delete;
    KeyEditBuffer& operator=(const KeyEditBuffer&) = delete;

    [[nodiscard]] int length() const { return length_; }
    [[nodiscard]] int capacity() const { return capacity_; }

    // Replaces the `count` units at `from` with as much of `text` as fits; returns the units
    // inserted. Positions are clamped to the text.
    int replace(int from, int count, QStringView text);
    // Overwrites every unit with zeros; the length becomes 0.
    void clear();

    // The key as UTF-8, built in guarded memory without passing through ordinary strings. A
    // lone surrogate, which no keyboard types, becomes U+FFFD.
    [[nodiscard]] SecretText toSecret() const;

private:
    char16_t* units_ = nullptr;
    int capacity_ = 0;
    int length_ = 0;
};

} // namespace mv::crypto
