#include "data/jetsql.h"

#include "data/messages.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace tvx::data::jet {

namespace {

struct Token {
    enum Kind { End, Identifier, Bracketed, String, Number, Date, Symbol } kind = End;
    QString text;
    int position = 0;
};

QString describe(const Token &t)
{
    switch (t.kind) {
    case Token::End: return QStringLiteral("az utasítás vége");
    case Token::String: return QStringLiteral("„%1” szöveg").arg(t.text);
    case Token::Bracketed: return QStringLiteral("„[%1]”").arg(t.text);
    default: return QStringLiteral("„%1”").arg(t.text);
    }
}

std::optional<QDate> parseDateLiteral(const QString &text)
{
    const QString t = text.trimmed();
    // a time of day may follow the date; nothing else may
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})[-./]\s*(\d{1,2})[-./]\s*(\d{1,2})\.?(?:[ T]+\d{1,2}:\d{2}(?::\d{2}(?:\.\d+)?)?)?$)"));
    static const QRegularExpression us(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{2,4})(?:\s+\d{1,2}:\d{2}(?::\d{2})?(?:\s*[AaPp][Mm])?)?$)"));
    if (const auto m = iso.match(t); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.isValid())
            return d;
    }
    if (const auto m = us.match(t); m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2)
            year += year < 30 ? 2000 : 1900;
        const QDate d(year, m.captured(1).toInt(), m.captured(2).toInt());
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

bool startsName(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

class Lexer {
public:
    explicit Lexer(const QString &text) : s_(text) {}

    bool run(QVector<Token> &out, QString &error)
    {
        while (true) {
            while (i_ < s_.size() && s_[i_].isSpace())
                ++i_;
            Token t;
            t.position = i_;
            if (i_ >= s_.size()) {
                out.push_back(t);
                return true;
            }
            const QChar c = s_[i_];
            if (c == u'[') {
                const qsizetype close = s_.indexOf(u']', i_ + 1);
                if (close < 0) {
                    error = QStringLiteral("Hiányzó „]” a(z) %1. karaktertől.").arg(i_ + 1);
                    return false;
                }
                t.kind = Token::Bracketed;
                t.text = s_.mid(i_ + 1, close - i_ - 1);
                i_ = close + 1;
            } else if (c == u'\'' || c == u'"') {
                t.kind = Token::String;
                qsizetype k = i_ + 1;
                bool closed = false;
                while (k < s_.size()) {
                    if (s_[k] == c) {
                        if (k + 1 < s_.size() && s_[k + 1] == c) {
                            t.text += c;
                            k += 2;
                            continue;
                        }
                        closed = true;
                        ++k;
                        break;
                    }
                    t.text += s_[k++];
                }
                if (!closed) {
                    error = QStringLiteral("Lezáratlan szöveg a(z) %1. karaktertől.").arg(i_ + 1);
                    return false;
                }
                i_ = k;
            } else if (c == u'#') {
                const qsizetype close = s_.indexOf(u'#', i_ + 1);
                if (close < 0) {
                    error = QStringLiteral("Hiányzó „#” a dátum végén (%1. karakter).").arg(i_ + 1);
                    return false;
                }
                t.kind = Token::Date;
                t.text = s_.mid(i_ + 1, close - i_ - 1);
                i_ = close + 1;
            } else if (c.isDigit() || (c == u'.' && i_ + 1 < s_.size() && s_[i_ + 1].isDigit())) {
                t.kind = Token::Number;
                qsizetype k = i_;
                while (k < s_.size() && (s_[k].isDigit() || s_[k] == u'.'))
                    ++k;
                if (k < s_.size() && (s_[k] == u'e' || s_[k] == u'E')) {
                    qsizetype e = k + 1;
                    if (e < s_.size() && (s_[e] == u'+' || s_[e] == u'-'))
                        ++e;
                    if (e < s_.size() && s_[e].isDigit()) {
                        k = e;
                        while (k < s_.size() && s_[k].isDigit())
                            ++k;
                    }
                }
                t.text = s_.mid(i_, k - i_);
                i_ = k;
            } else if (startsName(c)) {
                t.kind = Token::Identifier;
                qsizetype k = i_;
                while (k < s_.size() && continuesName(s_[k]))
                    ++k;
                t.text = s_.mid(i_, k - i_);
                i_ = k;
            } else {
                t.kind = Token::Symbol;
                const QString two = s_.mid(i_, 2);
                if (two == u"<>" || two == u"<=" || two == u">=" || two == u"!=") {
                    t.text = two;
                    i_ += 2;
                } else if (QStringLiteral("=<>(),.*;-").contains(c)) {
                    t.text = c;
                    ++i_;
                } else {
                    error = QStringLiteral("Érvénytelen karakter („%1”) a(z) %2. helyen.").arg(c).arg(i_ + 1);
                    return false;
                }
            }
            out.push_back(t);
        }
    }

private:
    const QString &s_;
    qsizetype i_ = 0;
};

class Parser {
public:
    explicit Parser(QVector<Token> tokens) : t_(std::move(tokens)) {}

    QString error;
    bool tooDeep = false;
    bool tooLong = false;

    bool atEnd() const { return peek().kind == Token::End; }
    const Token &peek(int ahead = 0) const { return t_[qMin<qsizetype>(p_ + ahead, t_.size() - 1)]; }

    bool isKeyword(const char *word, int ahead = 0) const
    {
        const Token &t = peek(ahead);
        return t.kind == Token::Identifier && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool acceptKeyword(const char *word)
    {
        if (!isKeyword(word))
            return false;
        ++p_;
        return true;
    }
    bool expectKeyword(const char *word)
    {
        if (acceptKeyword(word))
            return true;
        fail(QStringLiteral("„%1” kellene, de %2 áll").arg(QString::fromLatin1(word).toUpper(), describe(peek())));
        return false;
    }
    bool isSymbol(const char *s) const { return peek().kind == Token::Symbol && peek().text == QLatin1String(s); }
    bool acceptSymbol(const char *s)
    {
        if (!isSymbol(s))
            return false;
        ++p_;
        return true;
    }
    bool expectSymbol(const char *s)
    {
        if (acceptSymbol(s))
            return true;
        fail(QStringLiteral("„%1” kellene, de %2 áll").arg(QLatin1String(s), describe(peek())));
        return false;
    }
    void fail(const QString &what)
    {
        if (error.isEmpty())
            error = QStringLiteral("Hibás utasítás vagy feltétel: %1 (%2. karakter).").arg(what).arg(peek().position + 1);
    }

    bool finish()
    {
        acceptSymbol(";");
        if (!atEnd()) {
            fail(QStringLiteral("fölösleges %1").arg(describe(peek())));
            return false;
        }
        return true;
    }

    static bool isReserved(const QString &word)
    {
        static const QStringList reserved = {QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"),
                                             QStringLiteral("order"),  QStringLiteral("by"),   QStringLiteral("and"),
                                             QStringLiteral("or"),     QStringLiteral("not"),  QStringLiteral("like"),
                                             QStringLiteral("is"),     QStringLiteral("null"), QStringLiteral("asc"),
                                             QStringLiteral("desc")};
        return reserved.contains(word.toLower());
    }

    std::optional<QString> identifier()
    {
        const Token &t = peek();
        if (t.kind == Token::Bracketed && !t.text.isEmpty()) {
            ++p_;
            return t.text;
        }
        if (t.kind == Token::Identifier && !isReserved(t.text)) {
            ++p_;
            return t.text;
        }
        fail(QStringLiteral("mezőnév vagy táblanév kellene, de %1 áll").arg(describe(t)));
        return std::nullopt;
    }

    // [table.]column: the table part is dropped, statements name one table.
    std::optional<QString> columnName()
    {
        auto name = identifier();
        if (name && acceptSymbol(".")) {
            if (acceptSymbol("*"))
                return QStringLiteral("*");
            name = identifier();
        }
        return name;
    }

    std::optional<QStringList> selectList()
    {
        if (acceptSymbol("*"))
            return QStringList{};
        QStringList columns;
        do {
            auto c = columnName();
            if (!c)
                return std::nullopt;
            if (*c == u"*")
                return QStringList{};
            columns << *c;
        } while (acceptSymbol(","));
        return columns;
    }

    std::optional<Literal> literal()
    {
        Literal l;
        const Token t = peek();
        bool negative = false;
        if (t.kind == Token::Symbol && t.text == u"-" && peek(1).kind == Token::Number) {
            negative = true;
            ++p_;
        }
        const Token &v = peek();
        switch (v.kind) {
        case Token::String:
            l.kind = Literal::Text;
            l.value = v.text;
            break;
        case Token::Number: {
            bool ok = false;
            const double d = v.text.toDouble(&ok);
            if (!ok) {
                fail(QStringLiteral("hibás szám: „%1”").arg(v.text));
                return std::nullopt;
            }
            l.kind = Literal::Number;
            l.value = negative ? -d : d;
            l.written = negative ? u'-' + v.text : v.text;
            break;
        }
        case Token::Date: {
            const auto d = parseDateLiteral(v.text);
            if (!d) {
                fail(QStringLiteral("hibás dátum: „#%1#”").arg(v.text));
                return std::nullopt;
            }
            l.kind = Literal::Date;
            l.value = *d;
            break;
        }
        case Token::Identifier:
            if (isKeyword("null")) {
                l.kind = Literal::Null;
            } else if (isKeyword("true") || isKeyword("yes") || isKeyword("on")) {
                l.kind = Literal::Boolean;
                l.value = true;
            } else if (isKeyword("false") || isKeyword("no") || isKeyword("off")) {
                l.kind = Literal::Boolean;
                l.value = false;
            } else {
                fail(QStringLiteral("érték kellene, de %1 áll").arg(describe(v)));
                return std::nullopt;
            }
            break;
        default:
            fail(QStringLiteral("érték kellene, de %1 áll").arg(describe(v)));
            return std::nullopt;
        }
        ++p_;
        return l;
    }

    // One node for a whole chain of OR (or AND) operands, built in a loop.
    ExprPtr chain(Expr::Kind kind, const char *keyword, ExprPtr (Parser::*operand)())
    {
        ExprPtr first = (this->*operand)();
        if (!first || !isKeyword(keyword))
            return first;
        auto node = std::make_shared<Expr>();
        node->kind = kind;
        node->operands << first;
        while (acceptKeyword(keyword)) {
            ExprPtr next = (this->*operand)();
            if (!next)
                return nullptr;
            node->operands << next;
        }
        return node;
    }

    ExprPtr expression() { return chain(Expr::Or, "or", &Parser::conjunction); }
    ExprPtr conjunction() { return chain(Expr::And, "and", &Parser::negation); }

    // Brackets and NOT nest by recursion, so their depth is bounded.
    ExprPtr negation()
    {
        if (isKeyword("not") || isSymbol("(")) {
            if (depth_ >= kMaxNesting) {
                tooDeep = true;
                return nullptr;
            }
            ++depth_;
            ExprPtr inner;
            if (acceptKeyword("not")) {
                inner = negation();
                if (inner) {
                    auto e = std::make_shared<Expr>();
                    e->kind = Expr::Not;
                    e->operands << inner;
                    inner = e;
                }
            } else {
                acceptSymbol("(");
                inner = expression();
                if (inner && !expectSymbol(")"))
                    inner = nullptr;
            }
            --depth_;
            return inner;
        }
        return comparison();
    }

    ExprPtr comparison()
    {
        if (++comparisons_ > kMaxComparisons) {
            tooLong = true;
            return nullptr;
        }
        const auto field = columnName();
        if (!field)
            return nullptr;
        auto e = std::make_shared<Expr>();
        e->field = *field;
        if (acceptKeyword("is")) {
            e->kind = Expr::IsNull;
            e->negated = acceptKeyword("not");
            if (!expectKeyword("null"))
                return nullptr;
            return e;
        }
        if (isKeyword("not") && isKeyword("like", 1)) {
            p_ += 2;
            e->negated = true;
            e->kind = Expr::Like;
        } else if (acceptKeyword("like")) {
            e->kind = Expr::Like;
        } else {
            e->kind = Expr::Compare;
            const Token &op = peek();
            if (op.kind != Token::Symbol) {
                fail(QStringLiteral("összehasonlítás (=, <>, <, >, LIKE) kellene, de %1 áll").arg(describe(op)));
                return nullptr;
            }
            if (op.text == u"=")
                e->op = CompareOp::Equal;
            else if (op.text == u"<>" || op.text == u"!=")
                e->op = CompareOp::NotEqual;
            else if (op.text == u"<")
                e->op = CompareOp::Less;
            else if (op.text == u"<=")
                e->op = CompareOp::LessOrEqual;
            else if (op.text == u">")
                e->op = CompareOp::Greater;
            else if (op.text == u">=")
                e->op = CompareOp::GreaterOrEqual;
            else {
                fail(QStringLiteral("összehasonlítás (=, <>, <, >, LIKE) kellene, de %1 áll").arg(describe(op)));
                return nullptr;
            }
            ++p_;
        }
        const auto value = literal();
        if (!value)
            return nullptr;
        if (e->kind == Expr::Like && value->kind != Literal::Text && value->kind != Literal::Number) {
            fail(QStringLiteral("a LIKE után szöveges minta kellene"));
            return nullptr;
        }
        e->value = *value;
        if (e->kind == Expr::Like && value->kind == Literal::Number) {
            e->value.kind = Literal::Text;
            e->value.value = value->written;
        }
        return e;
    }

    std::optional<QVector<OrderItem>> orderList()
    {
        QVector<OrderItem> items;
        do {
            const auto field = columnName();
            if (!field)
                return std::nullopt;
            OrderItem item{*field, false};
            if (acceptKeyword("desc"))
                item.descending = true;
            else
                acceptKeyword("asc");
            items << item;
        } while (acceptSymbol(","));
        return items;
    }

    std::optional<Select> select()
    {
        Select s;
        if (!expectKeyword("select"))
            return std::nullopt;
        acceptKeyword("distinctrow");
        const auto columns = selectList();
        if (!columns || !expectKeyword("from"))
            return std::nullopt;
        s.columns = *columns;
        const auto table = identifier();
        if (!table)
            return std::nullopt;
        s.table = *table;
        if (acceptKeyword("where")) {
            s.where = expression();
            if (!s.where)
                return std::nullopt;
        }
        if (acceptKeyword("order")) {
            if (!expectKeyword("by"))
                return std::nullopt;
            const auto order = orderList();
            if (!order)
                return std::nullopt;
            s.orderBy = *order;
        }
        return s;
    }

    std::optional<Delete> deleteStatement()
    {
        Delete d;
        expectKeyword("delete");
        acceptSymbol("*");
        if (!expectKeyword("from"))
            return std::nullopt;
        const auto table = identifier();
        if (!table)
            return std::nullopt;
        d.table = *table;
        if (acceptKeyword("where")) {
            d.where = expression();
            if (!d.where)
                return std::nullopt;
        }
        return d;
    }

    std::optional<InsertSelect> insertStatement()
    {
        InsertSelect ins;
        expectKeyword("insert");
        if (!expectKeyword("into"))
            return std::nullopt;
        const auto table = identifier();
        if (!table)
            return std::nullopt;
        ins.table = *table;
        if (acceptSymbol("(")) {
            do {
                const auto c = columnName();
                if (!c)
                    return std::nullopt;
                ins.columns << *c;
            } while (acceptSymbol(","));
            if (!expectSymbol(")"))
                return std::nullopt;
        }
        if (!expectKeyword("select"))
            return std::nullopt;
        const auto columns = selectList();
        if (!columns || !expectKeyword("from"))
            return std::nullopt;
        ins.sourceColumns = *columns;
        const auto source = identifier();
        if (!source)
            return std::nullopt;
        if (acceptSymbol(".")) {
            const auto sourceTable = identifier();
            if (!sourceTable)
                return std::nullopt;
            ins.sourceFile = *source;
            ins.sourceTable = *sourceTable;
        } else {
            ins.sourceTable = *source;
        }
        if (acceptKeyword("where")) {
            ins.where = expression();
            if (!ins.where)
                return std::nullopt;
        }
        if (!ins.columns.isEmpty() && !ins.sourceColumns.isEmpty() && ins.columns.size() != ins.sourceColumns.size()) {
            fail(QStringLiteral("a beszúrt és a kiválasztott oszlopok száma eltér"));
            return std::nullopt;
        }
        return ins;
    }

    Error result() const
    {
        if (tooDeep)
            return messages::tooDeep(kMaxNesting);
        if (tooLong)
            return messages::tooLong(kMaxComparisons);
        return {ErrorCode::BadStatement, error};
    }

private:
    QVector<Token> t_;
    qsizetype p_ = 0;
    int depth_ = 0;
    int comparisons_ = 0;
};

// A name written without brackets reads back as this one name.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || !startsName(name.front()) || Parser::isReserved(name))
        return false;
    return std::all_of(name.begin(), name.end(), continuesName);
}

template <typename T>
Parsed<T> failed(const QString &message)
{
    Parsed<T> r;
    r.error = {ErrorCode::BadStatement, message};
    return r;
}

template <typename T>
Parsed<T> failed(const Error &error)
{
    Parsed<T> r;
    r.error = error;
    return r;
}

std::optional<Parser> lex(const QString &text, QString &error)
{
    QVector<Token> tokens;
    Lexer lexer(text);
    if (!lexer.run(tokens, error)) {
        error = QStringLiteral("Hibás utasítás vagy feltétel: %1").arg(error);
        return std::nullopt;
    }
    return Parser(std::move(tokens));
}

}  // namespace

Parsed<Select> parseRecordSource(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return failed<Select>(QStringLiteral("Nincs megadva tábla vagy lekérdezés."));
    if (!trimmed.startsWith(QLatin1String("select"), Qt::CaseInsensitive) ||
        (trimmed.size() > 6 && (trimmed[6].isLetterOrNumber() || trimmed[6] == u'_'))) {
        Select s;
        s.table = trimmed.startsWith(u'[') && trimmed.endsWith(u']') ? trimmed.mid(1, trimmed.size() - 2) : trimmed;
        if (s.table.trimmed().isEmpty())  // "[]", "[  ]"
            return failed<Select>(QStringLiteral("Nincs megadva tábla vagy lekérdezés."));
        return {s, {}};
    }
    const auto parsed = parseStatement(trimmed);
    if (!parsed)
        return failed<Select>(parsed.error);
    if (const auto *s = std::get_if<Select>(&*parsed.value))
        return {*s, {}};
    return failed<Select>(QStringLiteral("Az adatforrás csak SELECT lekérdezés lehet."));
}

Parsed<Statement> parseStatement(const QString &text)
{
    QString error;
    auto parser = lex(text, error);
    if (!parser)
        return failed<Statement>(error);
    std::optional<Statement> result;
    if (parser->isKeyword("select")) {
        if (auto s = parser->select())
            result = *s;
    } else if (parser->isKeyword("delete")) {
        if (auto d = parser->deleteStatement())
            result = *d;
    } else if (parser->isKeyword("insert")) {
        if (auto i = parser->insertStatement())
            result = *i;
    } else {
        parser->fail(QStringLiteral("SELECT, DELETE vagy INSERT kellene"));
    }
    if (!result || !parser->finish())
        return failed<Statement>(parser->result());
    return {result, {}};
}

Parsed<ExprPtr> parseCriteria(const QString &text)
{
    QString error;
    auto parser = lex(text, error);
    if (!parser)
        return failed<ExprPtr>(error);
    if (parser->atEnd())
        return failed<ExprPtr>(QStringLiteral("Üres keresési feltétel."));
    ExprPtr e = parser->expression();
    if (!e || !parser->finish())
        return failed<ExprPtr>(parser->result());
    return {e, {}};
}

Parsed<QVector<OrderItem>> parseSortText(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {QVector<OrderItem>{}, {}};
    QString error;
    auto parser = lex(text, error);
    if (!parser)
        return failed<QVector<OrderItem>>(error);
    auto items = parser->orderList();
    if (!items || !parser->finish())
        return failed<QVector<OrderItem>>(parser->result());
    return {items, {}};
}

QString sortText(const QVector<OrderItem> &items)
{
    QStringList parts;
    for (const auto &item : items) {
        // a name that would not read back as one name goes between brackets
        const QString field = isPlainName(item.field) ? item.field : u'[' + item.field + u']';
        parts << (item.descending ? field + QStringLiteral(" DESC") : field);
    }
    return parts.join(QStringLiteral(", "));
}

QString quoted(const QString &value, QChar quote)
{
    QString inner = value;
    inner.replace(quote, QString(2, quote));
    return quote + inner + quote;
}

QString likeLiteral(const QString &value)
{
    QString pattern;
    pattern.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern;
}

}  // namespace tvx::data::jet
