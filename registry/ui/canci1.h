#pragma once

#include "promptnumero.h"

namespace zorv::registry {

// The deletion prompt: deletes one customer by number after a confirmation, overwriting
// the record with 246 '*' (the number stays taken, the file keeps its length).
class canci1 : public PromptNumero {
    Q_OBJECT
public:
    explicit canci1(QWidget *parent = nullptr);

protected:
    bool Testo1_KeyPress(int code) override;

private:
    void cancellacliente();
    void errore(const QString &text);
};

} // namespace zorv::registry
