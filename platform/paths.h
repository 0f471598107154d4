#pragma once

#include <QString>

namespace zorv::paths {

// The configuration folder that stands in for the Windows folder:
// ${XDG_CONFIG_HOME:-$HOME/.config}/zorv900/, created when first needed.
QString configDir();

// A folder with exactly one trailing '/'.
QString withSeparator(const QString &folder);

// The data folder of database and movimenti: the first item of percorso.cfg in
// `currentDir` with '/' added, or currentDir with '/' when the file is missing or the
// item empty.
QString readPercorso(const QString &currentDir);

} // namespace zorv::paths
