#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zorv::registry {

// The key help: thirteen lines on the keys of the registry's windows and an " Ok " button.
class Heli : public QDialog {
    Q_OBJECT
public:
    explicit Heli(QWidget *parent = nullptr);

    QLabel *righe[13] = {}; // from the top
    QPushButton *Comando1 = nullptr;

public slots:
    void Comando1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The about box: closes on "Ok" and as soon as another window becomes active.
class iNFO : public QDialog {
    Q_OBJECT
public:
    explicit iNFO(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // "DATABASE CLIENTI"
    QLabel *Label2 = nullptr; // "Zorv-900 Access Control"
    QPushButton *Command1 = nullptr;

public slots:
    void Command1_Click();
    void chiudiinfo();

protected:
    void changeEvent(QEvent *event) override;

private:
    void Form_Deactivate();
    bool m_attivata = false;
};

} // namespace zorv::registry
