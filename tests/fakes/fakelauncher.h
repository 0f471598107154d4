#pragma once

#include "launcher.h"

#include <QString>
#include <QStringList>

namespace zorv {

// Records the programs started; for tests.
class FakeLauncher : public ProgramLauncher {
public:
    bool start(const QString &name) override
    {
        started.append(name);
        return !missing.contains(name);
    }
    QStringList started;
    QStringList missing; // names that fail to start
};

} // namespace zorv
