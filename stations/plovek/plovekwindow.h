#pragma once

#include "leggiseriale.h"
#include "plovekini.h"
#include "stationwindow.h"

#include <QString>

class QComboBox;

namespace zorv::stations::plovek {

// `RX` of the keyboard wedge: the shared station window with the eight settings lists,
// kept in plovek.ini, and the read loop that types each line into the focused
// application while the window sits in the notification area.
class PlovekWindow : public StationWindow, public PlovekView {
    Q_OBJECT
public:
    explicit PlovekWindow(QWidget *parent = nullptr);

    static StationOptions opzioni();

    // Fills the lists, loads plovek.ini and starts Timer1.
    void Form_Load();

    QComboBox *Combo1 = nullptr; // delay
    QComboBox *Combo2 = nullptr; // terminator 1
    QComboBox *Combo3 = nullptr; // terminator 2
    QComboBox *Combo4 = nullptr; // terminator 1 count
    QComboBox *Combo5 = nullptr; // terminator 2 count
    QComboBox *Combo6 = nullptr; // port
    QComboBox *Combo7 = nullptr; // prefix count
    QComboBox *Combo8 = nullptr; // prefix key

    // 1 while a change of a setting is saved at once; 0 while the station fills them.
    int SalvaAttivo = 0;

    void creacombo();
    void caricaconf();
    void salvaconf();

    LeggiSeriale *loop() const { return m_loop; }

    // PlovekView
    PlovekIni impostazioni() const override;
    void mostraRiga(const QByteArray &line) override;
    Stato stato() const override;
    void termina() override;
    void guastoDigitazione(const QString &why) override;

    // A notice about the typing (the desktop ended its session, for one), in the log
    // box, which shows itself from then on.
    void mostraAvviso(const QString &text);

    static constexpr int kAvvioMs = 30000;

public slots:
    void Check1_Click();
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Combo5_Click();
    void Combo6_Click();
    void Combo7_Click();
    void Combo8_Click();

protected:
    void Timer1_Timer() override;
    void Form_QueryUnload(QCloseEvent *event) override;

private:
    void applica(const PlovekIni &ini);
    void salvaSeAttivo();

    LeggiSeriale *m_loop = nullptr;
    bool m_salvataggioFallito = false;
};

} // namespace zorv::stations::plovek
