#pragma once

#include <QFont>
#include <QFontDatabase>

namespace zorv::fonts {

// "Fixedsys": the system's fixed-pitch font.
inline QFont fixedsys()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// "MS Sans Serif": the default UI font.
inline QFont msSansSerif()
{
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

} // namespace zorv::fonts
