#pragma once

#include <QDialog>

class QKeyEvent;
class QFrame;
class QLineEdit;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry::lists {

// "Da....  A....": the first and the last list line to print, into StampaDa and
// StampaA. StampaDa 0 means cancelled (Esc, F9 or the window's close button).
class Minmax : public QDialog {
    Q_OBJECT
public:
    explicit Minmax(QWidget *parent = nullptr);

    // Text1 = "1", Text2 = the number of lines in the list.
    void preset(int lineCount);

    // The range as typed (the last line may carry a fraction); from() is 0 when cancelled.
    double from() const { return m_from; }
    double to() const { return m_to; }

    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr; // "Ok"
    QFrame *Label1 = nullptr;        // frame around the boxes

public slots:
    void Command1_Click();
    void reject() override;

private:
    bool Text1_KeyPress(QKeyEvent *event);
    bool Form_KeyDown(QKeyEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;

    double m_from = 0;
    double m_to = 0;
    KeyPreview *m_keys = nullptr;
};

} // namespace zorv::registry::lists
