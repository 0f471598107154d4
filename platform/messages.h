#pragma once

#include "service.h"

#include <QString>

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

} // namespace zorv
