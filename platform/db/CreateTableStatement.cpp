#include "CreateTableStatement.h"

#include "KestrinError.h"
#include "TableFile.h"

#include <QSet>

namespace db {

namespace {

struct Token
{
    enum class Kind { Word, Name, Number, Open, Close, Comma, End };
    Kind kind = Kind::End;
    QStringView text; // the source characters; for a name, those between the quotes
    int line = 1;
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isAsciiIdentifier(QStringView word)
{
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                        (u >= u'0' && u <= u'9') || u == u'_';
        if (!ok)
            return false;
    }
    return true;
}

class Parser
{
public:
    explicit Parser(QStringView statement) : m_text(statement) { advance(); }

    CreateTable parse()
    {
        expectKeyword(u"create");
        expectKeyword(u"table");
        if (m_token.kind != Token::Kind::Name)
            fail(QStringLiteral("ожидалось имя таблицы в двойных кавычках"));
        CreateTable result;
        result.fileName = m_token.text.toString();
        checkTableFileName(result.fileName);
        advance();
        expect(Token::Kind::Open, u"(");
        QSet<QString> names;
        for (;;) {
            FieldInfo field = parseField();
            if (names.contains(field.name))
                fail(QStringLiteral("поле %1 уже объявлено").arg(field.name));
            names.insert(field.name);
            result.fields.append(field);
            if (result.fields.size() > kMaxFields)
                fail(QStringLiteral("в таблице может быть не больше %1 полей").arg(kMaxFields));
            if (m_token.kind == Token::Kind::Comma) {
                advance();
                continue;
            }
            expect(Token::Kind::Close, u")");
            break;
        }
        if (m_token.kind != Token::Kind::End)
            fail(QStringLiteral("после закрывающей скобки ожидался конец инструкции"));
        return result;
    }

private:
    FieldInfo parseField()
    {
        if (m_token.kind != Token::Kind::Word)
            fail(QStringLiteral("ожидалось имя поля"));
        const QStringView name = m_token.text;
        if (!isAsciiIdentifier(name))
            fail(QStringLiteral("имя поля «%1» должно состоять из латинских букв, цифр и знака "
                                "подчёркивания")
                     .arg(name));
        if (name.size() > kMaxFieldNameLength)
            fail(QStringLiteral("имя поля «%1» длиннее %2 символов")
                     .arg(name)
                     .arg(kMaxFieldNameLength));
        FieldInfo field;
        field.name = name.toString().toUpper();
        advance();

        if (isKeyword(u"numeric")) {
            field.type = FieldType::Numeric;
            field.width = kNumericWidth;
            field.decimals = kNumericDecimals;
            advance();
        } else if (isKeyword(u"date")) {
            field.type = FieldType::Date;
            field.width = kDateWidth;
            advance();
        } else if (isKeyword(u"char")) {
            field.type = FieldType::Character;
            advance();
            expect(Token::Kind::Open, u"(");
            if (m_token.kind != Token::Kind::Number)
                fail(QStringLiteral("ожидалась длина поля %1").arg(field.name));
            bool ok = false;
            const int width = m_token.text.toInt(&ok);
            if (!ok || width < 1 || width > kMaxCharacterWidth)
                fail(QStringLiteral("длина поля %1 должна быть от 1 до %2")
                         .arg(field.name)
                         .arg(kMaxCharacterWidth));
            field.width = width;
            advance();
            expect(Token::Kind::Close, u")");
        } else {
            fail(QStringLiteral("ожидался тип поля %1: numeric, char(n) или date").arg(field.name));
        }
        return field;
    }

    bool isKeyword(QStringView keyword) const
    {
        return m_token.kind == Token::Kind::Word &&
               m_token.text.compare(keyword, Qt::CaseInsensitive) == 0;
    }

    void expectKeyword(QStringView keyword)
    {
        if (!isKeyword(keyword))
            fail(QStringLiteral("ожидалось слово %1").arg(keyword.toString().toUpper()));
        advance();
    }

    void expect(Token::Kind kind, QStringView what)
    {
        if (m_token.kind != kind)
            fail(QStringLiteral("ожидалось «%1»").arg(what));
        advance();
    }

    [[noreturn]] void fail(const QString& what) const
    {
        const QString found = m_token.kind == Token::Kind::End ? QStringLiteral("конец текста")
                              : m_token.kind == Token::Kind::Name
                                  ? QStringLiteral("«\"%1\"»").arg(m_token.text)
                                  : QStringLiteral("«%1»").arg(m_token.text);
        throw KestrinError(QStringLiteral("Ошибка в инструкции создания таблицы, строка %1: %2, "
                                          "а найдено %3")
                               .arg(m_token.line)
                               .arg(what, found));
    }

    void advance()
    {
        while (m_position < m_text.size() && m_text[m_position].isSpace()) {
            if (m_text[m_position] == u'\n')
                ++m_line;
            ++m_position;
        }
        m_token.line = m_line;
        if (m_position == m_text.size()) {
            m_token.kind = Token::Kind::End;
            m_token.text = {};
            return;
        }
        const qsizetype start = m_position;
        const QChar c = m_text[m_position];
        if (c == u'"') {
            const qsizetype close = m_text.indexOf(u'"', start + 1);
            if (close < 0) {
                m_token.kind = Token::Kind::Word;
                m_token.text = m_text.mid(start);
                fail(QStringLiteral("имя таблицы не закрыто двойной кавычкой"));
            }
            m_token.kind = Token::Kind::Name;
            m_token.text = m_text.mid(start + 1, close - start - 1);
            m_line += int(m_token.text.count(u'\n'));
            m_position = close + 1;
            return;
        }
        if (c.isDigit()) {
            while (m_position < m_text.size() && m_text[m_position].isDigit())
                ++m_position;
            m_token.kind = Token::Kind::Number;
        } else if (isWordStart(c)) {
            while (m_position < m_text.size() && isWordPart(m_text[m_position]))
                ++m_position;
            m_token.kind = Token::Kind::Word;
        } else if (c == u'(' || c == u')' || c == u',') {
            ++m_position;
            m_token.kind = c == u'('   ? Token::Kind::Open
                           : c == u')' ? Token::Kind::Close
                                       : Token::Kind::Comma;
        } else {
            m_token.kind = Token::Kind::Word;
            m_token.text = m_text.mid(start, 1);
            fail(QStringLiteral("недопустимый символ"));
        }
        m_token.text = m_text.mid(start, m_position - start);
    }

    QStringView m_text;
    qsizetype m_position = 0;
    int m_line = 1;
    Token m_token;
};

} // namespace

CreateTable parseCreateTable(QStringView statement)
{
    return Parser(statement).parse();
}

} // namespace db
