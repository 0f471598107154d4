#pragma once

#include <QtGlobal>

namespace zorv {

// One process-wide instance of a platform interface: the program's main installs the
// real implementation, a test installs a fake.
template <class T>
class Service {
public:
    static T &get()
    {
        Q_ASSERT_X(slot() != nullptr, "zorv::Service", "platform service used before it was installed");
        return *slot();
    }
    static T *set(T *instance)
    {
        T *previous = slot();
        slot() = instance;
        return previous;
    }
    static bool isSet() { return slot() != nullptr; }

private:
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
    explicit ScopedService(T *instance) : m_previous(Service<T>::set(instance)) {}
    ~ScopedService() { Service<T>::set(m_previous); }
    ScopedService(const ScopedService &) = delete;
    ScopedService &operator=(const ScopedService &) = delete;

private:
    T *m_previous;
};

} // namespace zorv
