#pragma once

#include "promptnumero.h"

namespace zorv::registry {

// The number prompt of the card's " Cambia Scheda ": hands the number back in NumCliente
// (0 for an empty box); the card checks it.
class scheda : public PromptNumero {
    Q_OBJECT
public:
    explicit scheda(QWidget *parent = nullptr);

protected:
    bool Testo1_KeyPress(int code) override;

private:
    void Testo1_Change();
};

} // namespace zorv::registry
