#pragma once

#include <QDir>
#include <QString>

namespace zorv::demodata {

// One file of the demo folder. Each writer leaves a file that is already there alone,
// so the tool never overwrites real data; it returns the error's text, or empty.
QString writeCustomers(const QDir &folder); // CLIENTI.DAT
QString writeMovements(const QDir &folder); // mov.txt
QString writeArticles(const QDir &folder);  // ART.MAG

} // namespace zorv::demodata
