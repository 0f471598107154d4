#pragma once

#include "promptnumero.h"

namespace zorv::registry {

// The deletion prompt: deletes one customer by number after a confirmation, overwriting
// the record with 246 '*' (the number stays taken, the file keeps its length).
class canci1 : public PromptVerificato {
    Q_OBJECT
public:
    explicit canci1(QWidget *parent = nullptr);

protected:
    void verifica() override { cancellacliente(); }
    void conferma() override { close(); }

private:
    void cancellacliente();
};

} // namespace zorv::registry
