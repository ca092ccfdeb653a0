// A value kept in locked, guarded memory and wiped when it goes away.
#ifndef MVENGINE_SECRET_BOX_H
#define MVENGINE_SECRET_BOX_H

#include <new>
#include <type_traits>

#include <sodium.h>

namespace mv::engine {

template <typename T>
class SecretBox {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    SecretBox() : value_(static_cast<T*>(sodium_malloc(sizeof(T))))
    {
        if (!value_)
            throw std::bad_alloc();
        sodium_memzero(value_, sizeof(T));
    }
    ~SecretBox()
    {
        sodium_memzero(value_, sizeof(T));
        sodium_free(value_);
    }
    SecretBox(const SecretBox&) = delete;
    SecretBox& operator=(const SecretBox&) = delete;

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return value_; }
    const T* operator->() const { return value_; }

private:
    T* value_;
};

} // namespace mv::engine

#endif
