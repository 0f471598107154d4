#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace zorv::registry {

// The search by name: the number of the first live customer, from record `from` on in
// record order, whose name (the first 40 bytes, trailing spaces included) contains `key`
// byte for byte; 0 when none up to the last record. Reads record by record and stops at
// the first hit. Nothing when the file cannot be read (then `error` gets the error's text);
// a missing file holds no customer.
std::optional<int> trovaNome(const QString &fileClienti, QByteArrayView key, int from, QString *error = nullptr);

} // namespace zorv::registry
