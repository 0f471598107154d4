#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>
#include <utility>

namespace zorv {

template <class T>
class ScopedService;

// One process-wide instance of a platform interface. Nothing is installed by itself: a
// program's main installs the real implementation of each interface it uses, a test
// installs a fake, both with a ScopedService. Using one that nobody installed ends the
// program with the interface's name.
template <class T>
class Service {
public:
    static T &get()
    {
        if (slot() == nullptr)
            qFatal("%s: platform service used before it was installed", Q_FUNC_INFO);
        return *slot();
    }

private:
    friend class ScopedService<T>;
    static T *&slot()
    {
        static T *instance = nullptr;
        return instance;
    }
};

// Installs an instance for the lifetime of a scope and restores the previous one after.
template <class T>
class ScopedService {
public:
    explicit ScopedService(T *instance) : m_previous(std::exchange(Service<T>::slot(), instance)) {}
    ~ScopedService() { Service<T>::slot() = m_previous; }
    ScopedService(const ScopedService &) = delete;
    ScopedService &operator=(const ScopedService &) = delete;

private:
    T *m_previous;
};

// The service behind an interface that a program makes many objects of (serial ports,
// notification-area icons): it makes one, owned by `parent`.
template <class T>
class Maker {
public:
    using Make = std::function<T *(QObject *parent)>;
    explicit Maker(Make make) : m_make(std::move(make)) {}
    T *make(QObject *parent) const { return m_make(parent); }

    // A maker of `Impl`s.
    template <class Impl>
    static Maker of()
    {
        return Maker([](QObject *parent) -> T * { return new Impl(parent); });
    }

private:
    Make m_make;
};

} // namespace zorv
