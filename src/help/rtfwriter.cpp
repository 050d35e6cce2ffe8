#include "help/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QStringList>
#include <QUrl>

#include <array>
#include <vector>

namespace tvx::help {

namespace {

// A4 with 2 cm margins: everything that is placed is measured against this.
constexpr int kPaperWidth = 11906;
constexpr int kPaperHeight = 16838;
constexpr int kMargin = 1134;
constexpr int kTextWidth = kPaperWidth - 2 * kMargin;
constexpr int kTextHeight = kPaperHeight - 2 * kMargin;
constexpr int kTwipsPerPixel = 15;  // 96 dpi screenshots
constexpr int kHexLineChars = 128;

// A joined paragraph carries its hard line breaks as this character.
constexpr QChar kHardBreak = QChar(0x2028);

// The code page byte of a character, 0 when code page 1250 has none.
// Every character of the page lies below U+2200.
unsigned char cp1250Byte(char16_t c)
{
    static const auto table = [] {
        std::array<unsigned char, 0x2200> t{};
        QStringEncoder encoder("windows-1250", QStringConverter::Flag::Stateless);
        if (!encoder.isValid())
            return t;
        for (char16_t u = 0x80; u < t.size(); ++u) {
            const QChar ch(u);
            const QByteArray bytes = encoder.encode(QStringView(&ch, 1));
            // an unmapped character comes out as '?'
            if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) >= 0x80)
                t[u] = static_cast<unsigned char>(bytes[0]);
        }
        return t;
    }();
    return c < table.size() ? table[c] : 0;
}

void appendHexByte(QByteArray &out, unsigned char b)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

// Text as RTF: ASCII as it is, every other character as \uN followed by its
// code page 1250 byte \'hh (or ? where the page has none) for readers that
// know no Unicode. The \uN is needed even for the page's own characters:
// several readers ignore \ansicpg and would take \'f5 for õ instead of ő.
void appendText(QByteArray &out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == kHardBreak) {
            out += "\\line ";
        } else if (c == 0x00A0) {
            out += "\\~";
        } else if (c == 0x00AD) {
            out += "\\-";
        } else if (c == 0x2011) {
            out += "\\_";
        } else if (c < 0x20 || c == 0x7F) {
            // control characters have no place in a document
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            out += QByteArray::number(static_cast<qint16>(c));
            if (const unsigned char b = cp1250Byte(c)) {
                out += "\\'";
                appendHexByte(out, b);
            } else {
                out += " ?";  // after "\uN?" some readers drop one character too many
            }
        }
    }
}

QByteArray rtfText(QStringView text)
{
    QByteArray out;
    appendText(out, text);
    return out;
}

// ---- inline markup --------------------------------------------------------

struct Span {
    QString text;
    bool bold = false;
    bool italic = false;
    bool code = false;
};

bool isAsciiPunct(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 && u > 0x20 && !((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'));
}

bool isSpaceLike(QChar c) { return c.isSpace() || c == kHardBreak; }

// Emphasis by the usual delimiter-run rules, simplified: a run of * that is
// followed by a non-space opens, one preceded by a non-space closes, and a
// closer takes the nearest opener (two stars for bold, one for italic).
std::vector<Span> parseInline(const QString &s)
{
    enum class Mark { Bold, Italic };
    struct Token {
        enum Kind { Text, Code, Delim } kind = Text;
        QString text;
        int remaining = 0;
        bool canOpen = false;
        bool canClose = false;
        std::vector<Mark> opens;   // what the run opens and closes once matched
        std::vector<Mark> closes;
    };

    std::vector<Token> tokens;
    QString buf;
    const auto flush = [&] {
        if (!buf.isEmpty()) {
            tokens.push_back(Token{Token::Text, buf, 0, false, false, {}, {}});
            buf.clear();
        }
    };
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c == u'\\' && i + 1 < n && isAsciiPunct(s.at(i + 1))) {
            buf += s.at(i + 1);
            i += 2;
        } else if (c == u'`') {
            qsizetype run = 0;
            while (i + run < n && s.at(i + run) == u'`')
                ++run;
            qsizetype close = -1;
            for (qsizetype j = i + run; j < n;) {
                if (s.at(j) != u'`') {
                    ++j;
                    continue;
                }
                qsizetype r = 0;
                while (j + r < n && s.at(j + r) == u'`')
                    ++r;
                if (r == run) {
                    close = j;
                    break;
                }
                j += r;
            }
            if (close < 0) {
                buf += s.mid(i, run);
                i += run;
                continue;
            }
            QString code = s.mid(i + run, close - i - run);
            if (code.size() >= 2 && code.front() == u' ' && code.back() == u' ' && !code.trimmed().isEmpty())
                code = code.mid(1, code.size() - 2);
            flush();
            tokens.push_back(Token{Token::Code, code, 0, false, false, {}, {}});
            i = close + run;
        } else if (c == u'*') {
            qsizetype run = 0;
            while (i + run < n && s.at(i + run) == u'*')
                ++run;
            const QChar before = i > 0 ? s.at(i - 1) : QChar(u' ');
            const QChar after = i + run < n ? s.at(i + run) : QChar(u' ');
            Token t;
            t.kind = Token::Delim;
            t.remaining = int(run);
            t.canOpen = !isSpaceLike(after)
                && (!isAsciiPunct(after) || isSpaceLike(before) || isAsciiPunct(before));
            t.canClose = !isSpaceLike(before)
                && (!isAsciiPunct(before) || isSpaceLike(after) || isAsciiPunct(after));
            flush();
            tokens.push_back(t);
            i += run;
        } else {
            buf += c;
            ++i;
        }
    }
    flush();

    std::vector<size_t> openers;
    for (size_t k = 0; k < tokens.size(); ++k) {
        Token &t = tokens[k];
        if (t.kind != Token::Delim)
            continue;
        if (t.canClose) {
            while (t.remaining > 0 && !openers.empty()) {
                const size_t o = openers.back();
                Token &op = tokens[o];
                const int use = (t.remaining >= 2 && op.remaining >= 2) ? 2 : 1;
                const Mark mark = use == 2 ? Mark::Bold : Mark::Italic;
                op.remaining -= use;
                t.remaining -= use;
                op.opens.push_back(mark);
                t.closes.push_back(mark);
                if (op.remaining == 0)
                    openers.pop_back();
            }
        }
        if (t.remaining > 0 && t.canOpen)
            openers.push_back(k);
    }

    std::vector<Span> spans;
    int bold = 0;
    int italic = 0;
    const auto addSpan = [&](const QString &text, bool code) {
        if (text.isEmpty())
            return;
        const Span span{text, bold > 0, italic > 0, code};
        if (!spans.empty()) {
            Span &last = spans.back();
            if (last.bold == span.bold && last.italic == span.italic && last.code == span.code) {
                last.text += text;
                return;
            }
        }
        spans.push_back(span);
    };
    const auto apply = [&](Mark m, int delta) { (m == Mark::Bold ? bold : italic) += delta; };
    for (const Token &t : tokens) {
        switch (t.kind) {
        case Token::Text:
            addSpan(t.text, false);
            break;
        case Token::Code:
            addSpan(t.text, true);
            break;
        case Token::Delim:
            for (const Mark m : t.closes)
                apply(m, -1);
            addSpan(QString(t.remaining, u'*'), false);
            for (const Mark m : t.opens)
                apply(m, +1);
            break;
        }
    }
    return spans;
}

QString plainText(const QString &markdown)
{
    QString text;
    for (const Span &span : parseInline(markdown))
        text += span.text;
    text.replace(kHardBreak, u' ');
    return text;
}

// `codeSize` is the half-point size of program text, 0 to keep the size around it.
void appendInline(QByteArray &out, const QString &markdown, int codeSize)
{
    for (const Span &span : parseInline(markdown)) {
        if (!span.bold && !span.italic && !span.code) {
            appendText(out, span.text);
            continue;
        }
        out += '{';
        if (span.bold)
            out += "\\b";
        if (span.italic)
            out += "\\i";
        if (span.code) {
            out += "\\f1";
            if (codeSize > 0)
                out += "\\fs" + QByteArray::number(codeSize);
        }
        out += ' ';
        appendText(out, span.text);
        out += '}';
    }
}

// ---- blocks -----------------------------------------------------------------

enum class BlockKind { Heading, Paragraph, Bullets, Numbers, Table, Picture, Notice };

struct Block {
    BlockKind kind = BlockKind::Paragraph;
    int level = 0;            // heading level; first number of a numbered list
    QStringList items;        // paragraph text, list items, notice paragraphs, table lines
    QString caption, path;    // picture
};

bool isBlank(const QString &line) { return line.trimmed().isEmpty(); }

bool parseHeading(const QString &line, int *level, QString *text)
{
    const QString t = line.trimmed();
    qsizetype hashes = 0;
    while (hashes < t.size() && t.at(hashes) == u'#')
        ++hashes;
    if (hashes == 0 || hashes > 6 || (hashes < t.size() && t.at(hashes) != u' '))
        return false;
    QString rest = t.mid(hashes).trimmed();
    // an optional closing run of #
    qsizetype end = rest.size();
    while (end > 0 && rest.at(end - 1) == u'#')
        --end;
    if (end < rest.size() && (end == 0 || rest.at(end - 1) == u' '))
        rest = rest.left(end).trimmed();
    *level = int(qMin<qsizetype>(hashes, 3));
    *text = rest;
    return true;
}

bool parsePicture(const QString &line, QString *caption, QString *path)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u"![") || !t.endsWith(u')'))
        return false;
    const qsizetype mid = t.indexOf(u"](");
    if (mid < 0)
        return false;
    *caption = t.mid(2, mid - 2);
    QString target = t.mid(mid + 2, t.size() - mid - 3).trimmed();
    if (target.startsWith(u'<') && target.endsWith(u'>')) {
        target = target.mid(1, target.size() - 2);
    } else {
        // an optional title after the path
        const qsizetype space = target.indexOf(u' ');
        if (space > 0)
            target = target.left(space);
        target = QUrl::fromPercentEncoding(target.toUtf8());
    }
    *path = target;
    return !target.isEmpty();
}

bool parseBullet(const QString &line, QString *text)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && (t.at(0) == u'-' || t.at(0) == u'*' || t.at(0) == u'+') && t.at(1) == u' ') {
        *text = t.mid(2).trimmed();
        return true;
    }
    return false;
}

// At most three digits: a Hungarian sentence may begin with a year
// ("2024. január 1-jétől ..."), and that is no list.
bool parseNumber(const QString &line, int *number, QString *text)
{
    const QString t = line.trimmed();
    qsizetype digits = 0;
    while (digits < t.size() && t.at(digits).isDigit() && t.at(digits).unicode() < 0x80)
        ++digits;
    if (digits == 0 || digits > 3 || digits + 1 >= t.size() || t.at(digits) != u'.' || t.at(digits + 1) != u' ')
        return false;
    *number = t.left(digits).toInt();
    *text = t.mid(digits + 2).trimmed();
    return true;
}

bool isTableLine(const QString &line) { return line.trimmed().startsWith(u'|'); }

bool isNoticeLine(const QString &line) { return line.trimmed().startsWith(u'>'); }

QString noticeContent(const QString &line)
{
    QString t = line.trimmed().mid(1);
    if (t.startsWith(u' '))
        t.remove(0, 1);
    return t;
}

// Lines of one paragraph joined; a line ending in two spaces or a backslash
// breaks the line there.
QString joinLines(const QStringList &lines)
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        const bool last = i + 1 == lines.size();
        bool hardBreak = false;
        if (!last && line.endsWith(u"  ")) {
            hardBreak = true;
        } else if (!last && line.endsWith(u'\\') && !line.endsWith(u"\\\\")) {
            hardBreak = true;
            line.chop(1);
        }
        text += line.trimmed();
        if (!last)
            text += hardBreak ? kHardBreak : QChar(u' ');
    }
    return text;
}

bool startsOtherBlock(const QString &line)
{
    int level;
    int number;
    QString a, b;
    return parseHeading(line, &level, &a) || parsePicture(line, &a, &b) || parseBullet(line, &a)
        || (parseNumber(line, &number, &a) && number == 1) || isTableLine(line) || isNoticeLine(line);
}

std::vector<Block> parseBlocks(const QString &markdown)
{
    QString source = markdown;
    if (source.startsWith(QChar(0xFEFF)))
        source.remove(0, 1);
    source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    source.replace(u'\r', u'\n');
    const QStringList lines = source.split(u'\n');

    std::vector<Block> blocks;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    while (i < n) {
        const QString &line = lines.at(i);
        if (isBlank(line)) {
            ++i;
            continue;
        }
        Block block;
        int level = 0;
        int number = 0;
        QString text;
        QString path;
        if (parseHeading(line, &level, &text)) {
            block.kind = BlockKind::Heading;
            block.level = level;
            block.items << text;
            ++i;
        } else if (parsePicture(line, &text, &path)) {
            block.kind = BlockKind::Picture;
            block.caption = text;
            block.path = path;
            ++i;
        } else if (const bool bullet = parseBullet(line, &text); bullet || parseNumber(line, &number, &text)) {
            const bool numbered = !bullet;
            block.kind = numbered ? BlockKind::Numbers : BlockKind::Bullets;
            block.level = number;
            const auto itemOf = [&](const QString &l, QString *t) {
                int ignored;
                return numbered ? parseNumber(l, &ignored, t) : parseBullet(l, t);
            };
            QStringList itemLines{text};
            const auto finishItem = [&] {
                if (!itemLines.isEmpty())
                    block.items << joinLines(itemLines);
                itemLines.clear();
            };
            ++i;
            while (i < n) {
                const QString &next = lines.at(i);
                QString itemText;
                if (isBlank(next)) {
                    // items apart by empty lines still make one list
                    qsizetype j = i;
                    while (j < n && isBlank(lines.at(j)))
                        ++j;
                    if (j < n && itemOf(lines.at(j), &itemText)) {
                        i = j;
                        continue;
                    }
                    break;
                }
                if (itemOf(next, &itemText)) {
                    finishItem();
                    itemLines << itemText;
                } else if (startsOtherBlock(next)) {
                    break;
                } else {
                    itemLines << next;  // the item goes on
                }
                ++i;
            }
            finishItem();
        } else if (isTableLine(line)) {
            block.kind = BlockKind::Table;
            while (i < n && isTableLine(lines.at(i)))
                block.items << lines.at(i++).trimmed();
        } else if (isNoticeLine(line)) {
            block.kind = BlockKind::Notice;
            QStringList paragraph;
            const auto finishParagraph = [&] {
                if (!paragraph.isEmpty())
                    block.items << joinLines(paragraph);
                paragraph.clear();
            };
            while (i < n && !isBlank(lines.at(i))) {
                const QString &next = lines.at(i);
                if (isNoticeLine(next)) {
                    const QString content = noticeContent(next);
                    if (isBlank(content))
                        finishParagraph();
                    else
                        paragraph << content;
                } else if (startsOtherBlock(next)) {
                    break;
                } else {
                    paragraph << next;
                }
                ++i;
            }
            finishParagraph();
            if (block.items.isEmpty())
                continue;
        } else {
            block.kind = BlockKind::Paragraph;
            QStringList paragraph{line};
            ++i;
            while (i < n && !isBlank(lines.at(i)) && !startsOtherBlock(lines.at(i)))
                paragraph << lines.at(i++);
            block.items << joinLines(paragraph);
        }
        blocks.push_back(block);
    }
    return blocks;
}

// ---- tables -----------------------------------------------------------------

// The cells of a table line, split at the bars that are not escaped.
QStringList tableCells(const QString &line)
{
    QString t = line.trimmed();
    if (t.startsWith(u'|'))
        t.remove(0, 1);
    if (t.endsWith(u'|') && !t.endsWith(u"\\|"))
        t.chop(1);
    QStringList cells;
    QString cell;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) == u'\\' && i + 1 < t.size() && t.at(i + 1) == u'|') {
            cell += u'|';
            ++i;
        } else if (t.at(i) == u'|') {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += t.at(i);
        }
    }
    cells << cell.trimmed();
    return cells;
}

bool isDelimiterRow(const QStringList &cells)
{
    for (const QString &cell : cells) {
        QString c = cell;
        if (c.startsWith(u':'))
            c.remove(0, 1);
        if (c.endsWith(u':'))
            c.chop(1);
        if (c.isEmpty() || c.count(u'-') != c.size())
            return false;
    }
    return !cells.isEmpty();
}

QByteArray cellAlignment(const QString &delimiter)
{
    const bool left = delimiter.startsWith(u':');
    const bool right = delimiter.endsWith(u':');
    if (left && right)
        return "\\qc";
    if (right)
        return "\\qr";
    return "\\ql";
}

// Column widths share the text width by the longest text of each column,
// within bounds, so that a short key column does not take half the page.
std::vector<int> columnRightEdges(const std::vector<QStringList> &rows, int columns)
{
    std::vector<int> weights(columns, 0);
    for (const QStringList &row : rows)
        for (int c = 0; c < columns && c < row.size(); ++c)
            weights[c] = qMax(weights[c], int(plainText(row.at(c)).size()));
    int total = 0;
    for (int &w : weights) {
        w = qBound(6, w, 40);
        total += w;
    }
    std::vector<int> edges(columns);
    int sum = 0;
    for (int c = 0; c < columns; ++c) {
        sum += weights[c];
        edges[c] = c + 1 == columns ? kTextWidth : int(qint64(kTextWidth) * sum / total);
    }
    return edges;
}

// ---- pictures ---------------------------------------------------------------

struct PictureInfo {
    const char *blip = nullptr;
    int width = 0;
    int height = 0;
};

quint32 bigEndian(const QByteArray &data, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int k = 0; k < bytes; ++k)
        v = (v << 8) | static_cast<unsigned char>(data.at(at + k));
    return v;
}

// The kind and pixel size of a PNG or JPEG, read from its header.
bool pictureInfo(const QByteArray &data, PictureInfo *info)
{
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (data.startsWith(pngSignature)) {
        if (data.size() < 24 || data.mid(12, 4) != "IHDR")
            return false;
        info->blip = "\\pngblip";
        info->width = int(bigEndian(data, 16, 4));
        info->height = int(bigEndian(data, 20, 4));
        return info->width > 0 && info->height > 0;
    }
    if (data.size() > 4 && static_cast<unsigned char>(data.at(0)) == 0xFF
        && static_cast<unsigned char>(data.at(1)) == 0xD8) {
        qsizetype pos = 2;
        while (pos + 4 <= data.size()) {
            if (static_cast<unsigned char>(data.at(pos)) != 0xFF)
                return false;
            const unsigned char marker = static_cast<unsigned char>(data.at(pos + 1));
            if (marker == 0xFF) {  // fill byte
                ++pos;
                continue;
            }
            if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
                pos += 2;
                continue;
            }
            const int length = int(bigEndian(data, pos + 2, 2));
            const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4
                && marker != 0xC8 && marker != 0xCC;
            if (frameHeader) {
                if (pos + 9 > data.size())
                    return false;
                info->blip = "\\jpegblip";
                info->height = int(bigEndian(data, pos + 5, 2));
                info->width = int(bigEndian(data, pos + 7, 2));
                return info->width > 0 && info->height > 0;
            }
            if (marker == 0xD9 || marker == 0xDA || length < 2)
                return false;
            pos += 2 + length;
        }
    }
    return false;
}

// ---- the document -------------------------------------------------------------

// The body paragraphs start from these, so that nothing carries over.
constexpr char kBodyChars[] = "\\f0\\fs22\\lang1038 ";

QByteArray headingParagraph(int level, bool newPage)
{
    QByteArray p = "\\pard\\plain\\s" + QByteArray::number(level) + "\\ql\\keepn";
    switch (level) {
    case 1:
        p += "\\sb480\\sa240";
        break;
    case 2:
        p += "\\sb360\\sa120";
        break;
    default:
        p += "\\sb240\\sa120";
        break;
    }
    p += "\\outlinelevel" + QByteArray::number(level - 1);
    if (newPage)
        p += "\\pagebb";
    static constexpr int sizes[] = {32, 26, 22};
    p += "\\b\\cf1\\f0\\fs" + QByteArray::number(sizes[level - 1]) + "\\lang1038 ";
    return p;
}

QByteArray stylesheet()
{
    QByteArray s = "{\\stylesheet{\\ql\\sa120\\f0\\fs22\\lang1038\\snext0 Normal;}\n";
    for (int level = 1; level <= 3; ++level) {
        QByteArray def = headingParagraph(level, false).mid(int(qstrlen("\\pard\\plain")));
        def.chop(1);
        s += "{" + def + "\\sbasedon0\\snext0 heading " + QByteArray::number(level) + ";}\n";
    }
    s += "}\n";
    return s;
}

QByteArray borders(const char *sides[4], const QByteArray &style)
{
    QByteArray b;
    for (int k = 0; k < 4; ++k)
        b += QByteArray(sides[k]) + style;
    return b;
}

struct ListDefinition {
    int id = 0;
    bool numbered = false;
    int start = 1;
};

QByteArray listLevel(const ListDefinition &list)
{
    QByteArray l = "{\\listlevel";
    if (list.numbered) {
        l += "\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat"
            + QByteArray::number(list.start)
            + "\\levelspace0\\levelindent0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}";
    } else {
        l += "\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
             "\\levelspace0\\levelindent0{\\leveltext\\'01\\u8226\\'95;}{\\levelnumbers;}\\f0";
    }
    l += "\\fi-283\\li567\\lin567 }";
    return l;
}

class Writer {
public:
    explicit Writer(const RtfDocumentSource &source) : source_(source) {}

    QByteArray write(QString *error)
    {
        const std::vector<Block> blocks = parseBlocks(source_.markdown);
        QString title = source_.title;
        for (const Block &block : blocks) {
            if (title.isEmpty() && block.kind == BlockKind::Heading)
                title = plainText(block.items.value(0));
            writeBlock(block);
        }
        if (error)
            *error = errors_.join(u'\n');
        return header(title) + body_ + "}\n";
    }

private:
    QByteArray header(const QString &title) const
    {
        QByteArray h = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1038\\uc1\n"
                       "{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset238 Liberation Sans{\\*\\falt Arial};}"
                       "{\\f1\\fmodern\\fprq1\\fcharset238 Liberation Mono{\\*\\falt Courier New};}}\n"
                       // 1 headings, 2 notice shading, 3 table rules, 4 table header shading
                       "{\\colortbl;\\red31\\green56\\blue100;\\red234\\green241\\blue251;"
                       "\\red128\\green128\\blue128;\\red217\\green226\\blue243;}\n";
        h += stylesheet();
        if (!lists_.empty()) {
            h += "{\\*\\listtable\n";
            for (const ListDefinition &list : lists_) {
                h += "{\\list\\listtemplateid" + QByteArray::number(list.id) + "\\listsimple"
                    + listLevel(list) + "{\\listname ;}\\listid" + QByteArray::number(list.id) + "}\n";
            }
            h += "}\n{\\*\\listoverridetable\n";
            for (size_t k = 0; k < lists_.size(); ++k) {
                h += "{\\listoverride\\listid" + QByteArray::number(lists_[k].id)
                    + "\\listoverridecount0\\ls" + QByteArray::number(qsizetype(k + 1)) + "}\n";
            }
            h += "}\n";
        }
        h += "{\\*\\generator Tarvix;}\n";
        h += "{\\info{\\title " + rtfText(title) + "}}\n";
        h += "\\paperw" + QByteArray::number(kPaperWidth) + "\\paperh" + QByteArray::number(kPaperHeight)
            + "\\margl" + QByteArray::number(kMargin) + "\\margr" + QByteArray::number(kMargin)
            + "\\margt" + QByteArray::number(kMargin) + "\\margb" + QByteArray::number(kMargin)
            + "\\deftab709\\widowctrl\\viewkind1\n\\sectd\n";
        return h;
    }

    void writeBlock(const Block &block)
    {
        switch (block.kind) {
        case BlockKind::Heading:
            writeHeading(block);
            break;
        case BlockKind::Paragraph:
            body_ += "\\pard\\plain\\ql\\sa120";
            body_ += kBodyChars;
            appendInline(body_, block.items.value(0), 20);
            body_ += "\\par\n";
            break;
        case BlockKind::Bullets:
        case BlockKind::Numbers:
            writeList(block);
            break;
        case BlockKind::Table:
            writeTable(block);
            break;
        case BlockKind::Picture:
            writePicture(block);
            break;
        case BlockKind::Notice:
            writeNotice(block);
            break;
        }
    }

    void writeHeading(const Block &block)
    {
        // Chapters of the manual begin on a new page.
        const bool newPage = block.level == 1 && seenChapter_;
        if (block.level == 1)
            seenChapter_ = true;
        body_ += headingParagraph(block.level, newPage);
        appendInline(body_, block.items.value(0), 0);
        body_ += "\\par\n";
    }

    // Each item carries its marker twice: as list formatting for word
    // processors, and as \listtext for readers that know no lists.
    void writeList(const Block &block)
    {
        const bool numbered = block.kind == BlockKind::Numbers;
        int ls = 0;
        if (numbered) {
            lists_.push_back({int(lists_.size()) + 1, true, block.level});
            ls = int(lists_.size());
        } else {
            if (bulletList_ == 0) {
                lists_.push_back({int(lists_.size()) + 1, false, 1});
                bulletList_ = int(lists_.size());
            }
            ls = bulletList_;
        }
        for (qsizetype k = 0; k < block.items.size(); ++k) {
            const bool last = k + 1 == block.items.size();
            body_ += "{\\listtext\\pard\\plain";
            body_ += kBodyChars;
            if (numbered)
                body_ += QByteArray::number(block.level + k) + ".";
            else
                appendText(body_, u"\u2022");
            body_ += "\\tab}";
            body_ += "\\pard\\plain\\ls" + QByteArray::number(ls) + "\\ilvl0\\ql\\fi-283\\li567\\tx567";
            body_ += last ? "\\sa120" : "\\sa60";
            body_ += kBodyChars;
            appendInline(body_, block.items.at(k), 20);
            body_ += "\\par\n";
        }
    }

    void writeTable(const Block &block)
    {
        std::vector<QStringList> rows;
        QStringList delimiters;
        bool hasHeader = false;
        for (qsizetype k = 0; k < block.items.size(); ++k) {
            const QStringList cells = tableCells(block.items.at(k));
            if (k == 1 && isDelimiterRow(cells)) {
                hasHeader = true;
                delimiters = cells;
                continue;
            }
            rows.push_back(cells);
        }
        const int columns = hasHeader ? int(rows.front().size()) : [&] {
            qsizetype most = 0;
            for (const QStringList &row : rows)
                most = qMax(most, row.size());
            return int(most);
        }();
        const std::vector<int> edges = columnRightEdges(rows, columns);
        static const char *sides[4] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
        const QByteArray cellBorders = borders(sides, "\\brdrs\\brdrw10\\brdrcf3");
        for (size_t r = 0; r < rows.size(); ++r) {
            const bool header = hasHeader && r == 0;
            body_ += "\\trowd\\trgaph108\\trleft0";
            if (header)
                body_ += "\\trhdr";
            body_ += "\n";
            for (int c = 0; c < columns; ++c) {
                body_ += "\\clvertalt" + cellBorders;
                if (header)
                    body_ += "\\clcbpat4";
                body_ += "\\cellx" + QByteArray::number(edges[c]) + "\n";
            }
            for (int c = 0; c < columns; ++c) {
                body_ += "\\pard\\plain\\intbl" + cellAlignment(delimiters.value(c)) + "\\sb40\\sa40";
                body_ += kBodyChars;
                const QString text = rows[r].value(c);
                if (header && !text.isEmpty()) {
                    body_ += "{\\b ";
                    appendInline(body_, text, 20);
                    body_ += "}";
                } else {
                    appendInline(body_, text, 20);
                }
                body_ += "\\cell\n";
            }
            body_ += "\\row\n";
        }
        // keeps the next paragraph off the table's bottom rule
        body_ += "\\pard\\plain\\sa0\\f0\\fs12\\par\n";
    }

    void writePicture(const Block &block)
    {
        const QString file = QDir(source_.imageFolder).filePath(block.path);
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            errors_ << QStringLiteral("A kép nem olvasható: %1 (%2)").arg(block.path, f.errorString());
            return;
        }
        const QByteArray data = f.readAll();
        PictureInfo info;
        if (!pictureInfo(data, &info)) {
            errors_ << QStringLiteral("A kép nem PNG vagy JPEG: %1").arg(block.path);
            return;
        }
        // Natural size at 96 dpi, shrunk to the text area with its proportions.
        qint64 width = qint64(info.width) * kTwipsPerPixel;
        qint64 height = qint64(info.height) * kTwipsPerPixel;
        if (width > kTextWidth) {
            height = (height * kTextWidth + width / 2) / width;
            width = kTextWidth;
        }
        if (height > kTextHeight) {
            width = (width * kTextHeight + height / 2) / height;
            height = kTextHeight;
        }
        const bool captioned = !block.caption.trimmed().isEmpty();
        body_ += "\\pard\\plain\\qc\\sb120";
        body_ += captioned ? "\\sa60\\keepn" : "\\sa120";
        body_ += kBodyChars;
        body_ += "{\\*\\shppict{\\pict";
        body_ += info.blip;
        body_ += "\\picw" + QByteArray::number(info.width) + "\\pich" + QByteArray::number(info.height)
            + "\\picwgoal" + QByteArray::number(width) + "\\pichgoal" + QByteArray::number(height) + "\n";
        for (qsizetype at = 0; at < data.size(); at += kHexLineChars / 2) {
            const QByteArray chunk = data.mid(at, kHexLineChars / 2);
            for (const char b : chunk)
                appendHexByte(body_, static_cast<unsigned char>(b));
            body_ += '\n';
        }
        body_ += "}}\\par\n";
        if (captioned) {
            body_ += "\\pard\\plain\\qc\\sa200\\f0\\fs20\\lang1038 {\\i ";
            appendInline(body_, block.caption.trimmed(), 0);
            body_ += "}\\par\n";
        }
    }

    // Consecutive paragraphs with the same borders share one box.
    void writeNotice(const Block &block)
    {
        static const char *sides[4] = {"\\brdrt", "\\brdrl", "\\brdrb", "\\brdrr"};
        const QByteArray box = borders(sides, "\\brdrs\\brdrw10\\brsp80\\brdrcf1");
        for (qsizetype k = 0; k < block.items.size(); ++k) {
            const bool last = k + 1 == block.items.size();
            body_ += "\\pard\\plain\\ql\\li170\\ri170" + QByteArray(k == 0 ? "\\sb200" : "")
                + (last ? "\\sa200" : "\\sa80") + box + "\\cfpat2\\cbpat2\\shading10000";
            body_ += kBodyChars;
            appendInline(body_, block.items.at(k), 20);
            body_ += "\\par\n";
        }
    }

    const RtfDocumentSource &source_;
    QByteArray body_;
    QStringList errors_;
    std::vector<ListDefinition> lists_;
    int bulletList_ = 0;  // the \ls of the bullet list, 0 before the first
    bool seenChapter_ = false;
};

}  // namespace

QByteArray markdownToRtf(const RtfDocumentSource &source, QString *error)
{
    return Writer(source).write(error);
}

}  // namespace tvx::help
