#pragma once

#include "messages.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zorv {

// Records every box and answers from a script; for tests.
class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        enum Kind { Message, Input } kind = Message;
        QString text;
        int style = 0;
        BoxTitle title; // as passed; none means the program's title
    };

    int msgBox(const QString &text, int style, const BoxTitle &title) override;
    QString inputBox(const QString &prompt, const BoxTitle &title, const QString &defaultText) override;
    void beep() override { ++beeps; }

    // Answers for the next Yes/No boxes, in order; when none is left, Yes.
    void answerNext(int reply) { m_answers.append(reply); }
    // Texts for the next input boxes, in order; when none is left, empty (cancel).
    void typeNext(const QString &text) { m_inputs.append(text); }
    // Called when a box is shown, after it is recorded (lets a test act while "modal").
    std::function<void(const Shown &)> onShown;

    QList<Shown> shown;
    int beeps = 0;

    QStringList texts() const;
    const Shown &last() const { return shown.last(); }

private:
    QList<int> m_answers;
    QList<QString> m_inputs;
};

} // namespace zorv
