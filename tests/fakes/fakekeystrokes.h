#pragma once

#include "keys.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zorv {

// Records what would have been typed; for tests.
class FakeKeystrokes : public Keystrokes {
public:
    struct Sent {
        QString what;        // "{TAB}" for a key, the character itself for a character
        bool isKey = false;
        qint64 atMs = 0;     // zorv::clock().elapsedMs() when it was sent
    };

    bool pressKey(Key key) override;
    bool typeChar(char32_t ch) override;
    QString lastError() const override { return failWith; }

    // Every key and character, in order.
    QList<Sent> sent;
    // The `what` of each, in order.
    QStringList whats() const;
    // While not empty, every call fails with this text.
    QString failWith;
};

} // namespace zorv
