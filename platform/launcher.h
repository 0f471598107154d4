#pragma once

#include "service.h"

#include <QString>
#include <QStringList>

namespace zorv {

// Starts another program by name, as the programs of the suite start one another.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts `name` detached in the current folder; false when it is not found or fails.
    virtual bool start(const QString &name) = 0;
};

// Looks next to the running executable first, then in the current folder, then on PATH. "Calc" is the desktop's
// calculator: the first found of gnome-calculator, kcalc, galculator, mate-calc, xcalc.
class SystemLauncher : public ProgramLauncher {
public:
    bool start(const QString &name) override;
    // The full path that start() would run, or empty.
    static QString resolve(const QString &name);
};

inline ProgramLauncher &launcher() { return Service<ProgramLauncher>::get(); }

} // namespace zorv
