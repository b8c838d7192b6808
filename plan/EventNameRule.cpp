#include "EventNameRule.h"

namespace eventnamerule {

qsizetype controlCharacterAt(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
            return i;
    }
    return -1;
}

QString textProblem(QStringView text, const QString& what)
{
    const qsizetype at = controlCharacterAt(text);
    if (at < 0)
        return {};
    return QStringLiteral("%1: управляющий символ (код %2) недопустим")
        .arg(what)
        .arg(int(text[at].unicode()));
}

QString problem(QStringView name)
{
    return textProblem(name, QStringLiteral("Имя события"));
}

} // namespace eventnamerule
