#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QCloseEvent;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace zorv {
class TrayIcon;
namespace stations {
class StationPort;
}
} // namespace zorv

namespace zorv::stations {

// How a station program ends: the programs leave the event loop with the code, tests
// watch for the end instead. Installed as a service.
struct ProgramEnd {
    std::function<void(int code)> end;
};

// What tells one station's window from the other's.
struct StationOptions {
    QString caption;                 // window caption
    QString tip;                     // notification-area tip
    QString quitCaption;             // Command3
    QString quitQuestion;            // the quit question
    QString audioCaption;            // Check1
    QString dateCaption = QStringLiteral("Data:");
    QString timeCaption = QStringLiteral("Ora:");
    QString nameCaption = QStringLiteral("Nome"); // beside Label1
    bool programButtons = true;      // "Utenti" and "Movimenti" shown
    bool relayButtons = true;        // "1" and "2" shown
    bool customerLabels = true;      // Label2..Label4, Label6..Label8 and their captions shown
    int startDelayMs = 200;          // Timer1, the one-shot start of the read loop
};

// The window `RX` that both card stations share: value labels, log box, clock, program
// starts, quit question, relay buttons, the serial port holder and the
// notification-area icon. A station derives from it, fills in Timer1_Timer (the start
// of its read loop) and adds its own controls to stationArea().
class StationWindow : public QWidget {
    Q_OBJECT
public:
    explicit StationWindow(const StationOptions &options, QWidget *parent = nullptr);
    ~StationWindow() override;

    // Controls, named as in the station's design.
    QPlainTextEdit *Text1 = nullptr; // log box; keeps the last kMaxRighe lines
    QPushButton *clear = nullptr;    // never shown
    QPushButton *Command1 = nullptr; // "Utenti"
    QPushButton *Command2 = nullptr; // "Movimenti"
    QPushButton *Command3 = nullptr; // quit
    QPushButton *Command4 = nullptr; // relay "1"
    QPushButton *Command5 = nullptr; // relay "2"
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label5 = nullptr; // the coloured outcome box
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    QLabel *Label16 = nullptr; // date
    QLabel *Label17 = nullptr; // time
    QCheckBox *Check1 = nullptr;
    QTimer *Timer1 = nullptr; // one-shot start
    QTimer *Timer2 = nullptr; // clock, 1 s

    // The reader's line (`Comm1` of the console window): created on first use.
    StationPort &port();

    // Relay time byte, tenths of a second, as text; empty sends 0.
    QByteArray TempoRele;
    // The relay frames with their 5 s answer wait; done() afterwards (also on time-out).
    void inviarele1(std::function<void()> done = {});
    void inviarele2(std::function<void()> done = {});

    // A line in the log box (a trailing CR, LF or CR LF is the line's end).
    void appendText1(const QByteArray &line);
    // A failure shown in the log box; the station goes on.
    void mostraGuasto(const QString &text);
    static constexpr int kMaxRighe = 500;
    // Characters shown of one line at most: a longer one ends in "…".
    static constexpr int kMaxCaratteri = 256;

    // Sets Label5's background to a 0x00BBGGRR colour.
    void coloraLabel5(unsigned bgr);

    // Brings the window back from the notification area (what a click on the icon does).
    void restoreFromTray();
    // The notification area went away with the window hidden in it.
    void trayLost();
    TrayIcon *tray() const { return m_tray; }
    const StationOptions &options() const { return m_options; }

    // Ends the program at once, through the installed ProgramEnd.
    static void endProgram(int code = 0);

    // Where a station adds its own controls.
    QVBoxLayout *stationArea() const { return m_stationArea; }

public slots:
    void clear_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Timer2_Timer();

protected:
    // The one-shot start of the read loop.
    virtual void Timer1_Timer() = 0;
    // Closing by the close box or the system: accept() lets it close. Default: closes.
    virtual void Form_QueryUnload(QCloseEvent *event);
    // Minimised: hidden into the notification area, where there is one.
    virtual void Form_Resize();

    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void aggiungiAText1(QString text);

    StationOptions m_options;
    StationPort *m_port = nullptr;
    TrayIcon *m_tray = nullptr;
    bool m_restoring = false; // restored from the notification area, not yet on screen
    QVBoxLayout *m_stationArea = nullptr;
};

// The station's icon, drawn (there is no icon file to ship).
QIcon iconaStazione();

} // namespace zorv::stations
