#pragma once

#include "leggitessere.h"
#include "portacfg.h"
#include "stationwindow.h"

#include <QString>
#include <QTimer>

namespace zorv::stations {

// `RX` of the access-control station.
class ControlloWindow : public StationWindow, public ControlloView {
    Q_OBJECT
public:
    explicit ControlloWindow(QString folder, QWidget *parent = nullptr);

    static StationOptions opzioni();

    // Reads porta.cfg and applies it, then starts Timer1. False (after its message) when
    // the station cannot start; the program then ends.
    bool Form_Load();

    LeggiTessere *loop() const { return m_loop; }
    const PortaCfg &cfg() const { return m_cfg; }

    static constexpr int kRiprovaMs = 2000;
    static constexpr char kErrorePorta[] = "Errore sulla porta COM, non posso avviare il programma!";

    // ControlloView
    void mostraRiga(const QByteArray &line) override;
    void mostraEtichette(const Etichette &labels) override;
    void mostraGuasto(const QString &text) override { StationWindow::mostraGuasto(text); }
    bool audio() const override;
    void inviarele(int relay, std::function<void()> done) override;

protected:
    void Timer1_Timer() override;
    void Form_QueryUnload(QCloseEvent *event) override;

private:
    bool leggiconf();
    void portaPersa(const QString &error);
    void riprova();

    QString m_folder;
    PortaCfg m_cfg;
    LeggiTessere *m_loop = nullptr;
    QTimer m_riprova;
};

} // namespace zorv::stations
