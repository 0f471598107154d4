#pragma once

#include "gridview.h"
#include "program.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zorv::movimenti {

// The movements window: the grid of the movement log with its sort buttons, the
// filter by double click, printing, the start of the registry program, the clock, and
// the barcode and quantity boxes that book articles against ART.MAG.
class Scariman1 : public QWidget {
    Q_OBJECT
public:
    // `percorso`: the data folder, ending in '/'.
    explicit Scariman1(const QString &percorso, QWidget *parent = nullptr);

    Movimenti &program() { return m_program; }
    GridView &grid() { return *m_grid; }

    // The stock update: no control of the window calls it (see the window's layout).
    void aggiornagiacenze();

signals:
    // The operator confirmed the exit question: the program ends.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void GridCtrl1_DblClick();
    void Timer1_Timer();
    bool Text1_KeyPress(QKeyEvent *event);
    bool Text2_KeyPress(QKeyEvent *event);
    void Check1_Click();
    void Check2_Click();
    // True when the window may close (the operator answered the exit question Yes).
    bool Form_QueryUnload();
    void registraarticolo();
    void emptyEntry();
    void showProgress(int percent);

    Movimenti m_program;
    GridView *m_grid = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QCheckBox *m_check2 = nullptr;
    QCheckBox *m_check3 = nullptr;
    QLabel *m_label7 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_label6 = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer *m_timer1 = nullptr;
    bool m_leaving = false;
};

} // namespace zorv::movimenti
