#pragma once

#include "registryfile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace zorv::registry {

// The number of the first live customer whose name (the first 40 characters, trimmed)
// equals `nome` trimmed, in record order; 0 when there is none. The file is read once;
// nothing when it cannot be read (then `error` gets the error's text).
std::optional<int> findByName(const RegistryFile &registry, QByteArrayView nome, QString *error = nullptr);

// The same search over the bytes of a whole file (a broken tail is passed over).
int findByName(QByteArrayView data, QByteArrayView nome);

} // namespace zorv::registry
