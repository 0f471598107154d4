#include "fakemessageboxes.h"

#include <QStringList>

namespace zorv {

int FakeMessageBoxes::msgBox(const QString &text, int style, const BoxTitle &title)
{
    shown.append({Shown::Message, text, style, title});
    if (onShown)
        onShown(shown.last());
    if (!isYesNo(style))
        return answer::Ok;
    return m_answers.isEmpty() ? answer::Yes : m_answers.takeFirst();
}

QString FakeMessageBoxes::inputBox(const QString &prompt, const BoxTitle &title, const QString &)
{
    shown.append({Shown::Input, prompt, 0, title});
    if (onShown)
        onShown(shown.last());
    return m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList out;
    for (const auto &s : shown)
        out.append(s.text);
    return out;
}

} // namespace zorv
