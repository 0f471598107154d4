#pragma once

#include "service.h"

#include <QString>

#include <functional>

namespace zorv {

// Plays a sound file to its end, then calls `done` (from the event loop, never from
// inside play()). A missing or broken file plays nothing and still calls `done`.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const QString &file, std::function<void()> done) = 0;
};

inline Sound &sound() { return Service<Sound>::get(); }

} // namespace zorv
