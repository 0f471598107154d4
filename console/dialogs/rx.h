#pragma once

#include "consoledialog.h"

#include <QTimer>

class QPlainTextEdit;
class QPushButton;

namespace zorv {
class SerialPort;
}

namespace zorv::console {

class LineMonitor;

// "RX Data": shows every line the reader sends on its own until the operator closes it.
// The log keeps the most recent kMaxLogLines lines.
class RX : public ConsoleDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLogLines = 5000;

    explicit RX(SerialPort *port, QWidget *parent = nullptr);
    ~RX() override;

    QTimer Timer1;           // one-shot start, 200 ms after loading
    QPlainTextEdit *Text1;   // the log
    QPushButton *clear;      // "Clear"
    QPushButton *Command3;   // "Quit"
    LineMonitor *monitor;

    void Form_Load();
    void Timer1_Timer();
    void clear_Click();
    void Command3_Click();
    void Form_QueryUnload();
    void leggirx();

    bool isReading() const;
    void setMaxLogLines(int lines);

    void done(int result) override;

private:
    void addLine(const QByteArray &lineWithCr);
    void addText(const QString &line);
};

} // namespace zorv::console
