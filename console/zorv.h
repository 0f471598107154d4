#pragma once

#include <QDialog>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zorv {
class SerialPort;
namespace reader {
class ReaderLink;
}
} // namespace zorv

namespace zorv::console {

class ConsoleCommands;

// The console window: the COM port, Connect/Disconnect and the connection lamp, one button
// per reader command, Quit. It holds the serial port `Comm1` that the dialogs use.
class Zorv : public QWidget {
    Q_OBJECT
public:
    static constexpr int LampRed = 0x0000FF;   // 0x00BBGGRR
    static constexpr int LampGreen = 0x00C000;

    explicit Zorv(QWidget *parent = nullptr);
    ~Zorv() override;

    SerialPort *Comm1 = nullptr;

    // The lamp's colour is the only record of the connection.
    int lampColour() const { return m_lamp; }
    bool isConnected() const { return m_lamp != LampRed; }

    reader::ReaderLink *link() const { return m_link; }
    ConsoleCommands *commands() const { return m_commands; }
    QPushButton *commandButton(int n) const;

public slots:
    void Form_Load();
    void Command1_Click(); // Connect
    void Command2_Click(); // Disconnect
    void Command3_Click(); // Quit
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command19_Click();
    void Command20_Click();
    void Command21_Click();

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The dialogs behind six of the buttons (zorvdialogs.cpp). A button stays disabled
    // while dialogReady() says its dialog is not there.
    bool dialogReady(int button) const;
    void showCONFIG(); // fills ComandoPorte, or leaves it empty
    void showStore();  // fills ComandoCarta, or leaves it empty
    void showPORTS();  // fills ComandoPorte, or leaves it empty
    void showPORTE();
    void showSOUND();
    void showRX();
    void showCards();

    void setLamp(int colour);
    void portFailed();

    QGroupBox *Frame1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Command = nullptr;
    QPushButton *Command3 = nullptr;
    QList<QPushButton *> m_buttons; // Command4 .. Command21
    QList<QLabel *> m_labels;       // Label2 .. Label18

    reader::ReaderLink *m_link = nullptr;
    ConsoleCommands *m_commands = nullptr;
    int m_lamp = LampRed;
};

// The list of the ten card slots read by "Read all Cards".
class cards : public QDialog {
    Q_OBJECT
public:
    explicit cards(QWidget *parent = nullptr);

    // What is printed on the window: two empty lines, then each entry after four blanks.
    QStringList printed() const { return m_printed; }

public slots:
    void Form_Activate();
    void Command3_Click();

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    QPushButton *Command3 = nullptr;
    QStringList m_printed;
};

} // namespace zorv::console
