#include "WorkFieldRule.h"

#include "Windows1251.h"

namespace {

bool isControl(QChar c)
{
    const char16_t code = c.unicode();
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

// "управляющий символ U+000A".
QString controlWords(QChar c)
{
    return QStringLiteral("управляющий символ U+%1")
        .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

namespace workfield {

qsizetype firstControl(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isControl(text[i]))
            return i;
    }
    return -1;
}

qsizetype firstUnstorable(QStringView text)
{
    const qsizetype control = firstControl(text);
    return control >= 0 ? control : windows1251::firstUnencodable(text);
}

QString unstorableWords(QStringView text, qsizetype at)
{
    if (isControl(text[at]))
        return controlWords(text[at]) + QStringLiteral(" нельзя сохранить в файле данных");
    const qsizetype length = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return QStringLiteral("символ «%1» нельзя сохранить в файле данных (кодировка Windows-1251)")
        .arg(text.mid(at, length));
}

QString tooLongWords(QStringView text, QStringView caption)
{
    return QStringLiteral("поле «%1» длиннее %2 символов: «%3»")
        .arg(caption, QString::number(kMaxLength), quotedBeginning(text));
}

QString problem(QStringView text, QStringView caption)
{
    if (text.size() > kMaxLength)
        return tooLongWords(text, caption);
    const qsizetype at = firstUnstorable(text);
    return at < 0 ? QString() : unstorableWords(text, at);
}

QString namedProblem(QStringView text, QStringView caption)
{
    if (text.size() > kMaxLength)
        return capitalised(tooLongWords(text, caption));
    const qsizetype at = firstUnstorable(text);
    return at < 0 ? QString() : QStringLiteral("%1: %2").arg(caption, unstorableWords(text, at));
}

QString controlProblem(QStringView text, QStringView caption)
{
    const qsizetype at = firstControl(text);
    return at < 0 ? QString()
                  : QStringLiteral("%1: %2 недопустим").arg(caption, controlWords(text[at]));
}

QString freeTextProblem(QStringView text, QStringView caption)
{
    if (text.size() > kMaxLength)
        return capitalised(tooLongWords(text, caption));
    return controlProblem(text, caption);
}

QString quotedBeginning(QStringView text)
{
    if (text.size() <= kQuotedLength)
        return text.toString();
    qsizetype length = kQuotedLength;
    // A surrogate pair is never cut in two.
    if (text[length - 1].isHighSurrogate())
        --length;
    return text.first(length).toString() + QChar(0x2026);
}

} // namespace workfield
