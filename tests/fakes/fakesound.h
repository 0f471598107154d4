#pragma once

#include "sound.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace zorv {

// Records the files and finishes at once; for tests.
class FakeSound : public Sound {
public:
    void play(const QString &file, std::function<void()> done) override;
    QStringList played;
};

} // namespace zorv
