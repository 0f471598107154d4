#pragma once

#include "promptnumero.h"

namespace zorv::registry {

// The number prompt of the main window's card command: checks the number against the
// registry, then the card of that customer opens.
class schei : public PromptVerificato {
    Q_OBJECT
public:
    explicit schei(QWidget *parent = nullptr);

    // The prompt, then, for an accepted number, the card; returns when both are closed.
    static void mostra(QWidget *parent);

    // True when the prompt closed on an accepted number: the card is to open.
    bool apriScheda() const { return m_apriScheda; }

protected:
    void verifica() override { controllanumero(); }
    void conferma() override;

private:
    void controllanumero();

    bool m_apriScheda = false;
};

} // namespace zorv::registry
