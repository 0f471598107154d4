#pragma once

#include "service.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zorv {

// Message-box styles as stored values: 0, 128 and 256 OK only; 4 Yes/No; 276 Yes/No with
// the critical icon and No as the default button.
namespace style {
constexpr int Ok = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int DefaultButton2 = 256;
constexpr int YesNoCriticalNoDefault = 276;
} // namespace style

// Answers of a message box.
namespace answer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace answer

// The title of a box: its own, which may be empty (""), or none at all (std::nullopt), and
// a box without a title of its own shows the program's title.
using BoxTitle = std::optional<QString>;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual int msgBox(const QString &text, int style = style::Ok, const BoxTitle &title = std::nullopt) = 0;
    // The typed text; empty when cancelled.
    virtual QString inputBox(const QString &prompt, const BoxTitle &title = std::nullopt,
                             const QString &defaultText = QString()) = 0;
    virtual void beep() = 0;

    static bool isYesNo(int style) { return (style & 0x7) == style::YesNo; }
};

inline MessageBoxes &messages() { return Service<MessageBoxes>::get(); }

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
