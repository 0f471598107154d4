#pragma once

#include "consoledialog.h"

#include <QByteArrayList>
#include <QTimer>
#include <QWidget>

class QPushButton;

namespace zorv {
class SerialPort;
}

namespace zorv::console {

class PortStatusReader;

// The rows printed on a window's surface, one below the other from the top.
class PrintSurface : public QWidget {
    Q_OBJECT
public:
    explicit PrintSurface(QWidget *parent = nullptr);
    void print(const QString &row);
    const QStringList &rows() const { return m_rows; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_rows;
};

// "MCU Ports status": asks the reader once for its ports (GTAP) and prints each line of
// the answer after nine spaces, until a line fails to come complete within one second.
class PORTE : public ConsoleDialog {
    Q_OBJECT
public:
    explicit PORTE(SerialPort *port, QWidget *parent = nullptr);
    ~PORTE() override;

    QTimer Timer1;          // one-shot start, 200 ms after loading
    QPushButton *Command3;  // Quit
    PrintSurface *surface;  // the window's surface
    PortStatusReader *reader;

    void Form_Load();
    void Timer1_Timer();
    void Command3_Click();
    void leggiporte();

    QStringList rows() const { return surface->rows(); }
    bool isReading() const;
    // The reader, when it still drops the rest of an answer after the window closed; the
    // caller owns it then and it ends by itself. Nothing when the read has ended.
    PortStatusReader *takeDiscardingReader();

    void done(int result) override;
};

} // namespace zorv::console
