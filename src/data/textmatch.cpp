#include "data/textmatch.h"

#include "data/collation.h"

#include <QChar>
#include <QList>

#include <map>
#include <mutex>

namespace tvx::data {

namespace {

inline char32_t foldChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Decodes one UTF-8 sequence; malformed bytes stand for themselves.
inline char32_t decode(std::string_view s, size_t &i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    auto cont = [&](size_t k) -> int {
        if (i + k >= s.size())
            return -1;
        const auto b = static_cast<unsigned char>(s[i + k]);
        return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
    };
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0) {
        const int c1 = cont(1);
        if (c1 >= 0) {
            i += 2;
            return char32_t(((b0 & 0x1F) << 6) | c1);
        }
    } else if ((b0 & 0xF0) == 0xE0) {
        const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1;
        if (c2 >= 0) {
            i += 3;
            return char32_t(((b0 & 0x0F) << 12) | (c1 << 6) | c2);
        }
    } else if ((b0 & 0xF8) == 0xF0) {
        const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1, c3 = c2 >= 0 ? cont(3) : -1;
        if (c3 >= 0) {
            i += 4;
            return char32_t(((b0 & 0x07) << 18) | (c1 << 12) | (c2 << 6) | c3);
        }
    }
    ++i;
    return b0;
}

// Runs [first, last] of consecutive code points.
using CodeRuns = std::vector<std::pair<char32_t, char32_t>>;

// Every character a list's range holds, as LikePattern::Token::inSet() decides
// it; asks the collator once per code point (unassigned ones cannot occur in
// text), so each range is kept for the process.
const CodeRuns &rangeMembers(char32_t lo, char32_t hi)
{
    static std::mutex mutex;
    static std::map<std::pair<char32_t, char32_t>, CodeRuns> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.find({lo, hi});
    if (found != known.end())
        return found->second;
    CodeRuns runs;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || (c != lo && c != hi && QChar::category(c) == QChar::Other_NotAssigned))
            continue;
        if (c == lo || c == hi || (compareCharacters(lo, c) <= 0 && compareCharacters(c, hi) <= 0)) {
            if (!runs.empty() && runs.back().second + 1 == c)
                runs.back().second = c;
            else
                runs.emplace_back(c, c);
        }
    }
    return known.emplace(std::make_pair(lo, hi), std::move(runs)).first->second;
}

// One character of the expression: ASCII punctuation has a meaning there
// (in a list too), so it is escaped; a backslash before any other ASCII
// character that is no letter or digit stands for that character.
void appendLiteral(QString &out, char32_t c)
{
    if (c < 0x80 && !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
        out += u'\\';
    out += QString::fromUcs4(&c, 1);
}

}  // namespace

void foldUtf8(std::string_view utf8, std::u32string &out)
{
    out.clear();
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();)
        out.push_back(foldChar(decode(utf8, i)));
}

std::u32string foldText(const QString &text)
{
    std::u32string out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        out.push_back(foldChar(c));
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            if (foldChar(ca) != foldChar(cb))
                return false;
            ++i;
            ++j;
            continue;
        }
        if (foldChar(decode(a, i)) != foldChar(decode(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

bool LikePattern::Token::inSet(char32_t c) const
{
    if (!seen)
        seen = std::make_shared<std::unordered_map<char32_t, bool>>();
    const auto known = seen->find(c);
    if (known != seen->end())
        return known->second;
    bool in = false;
    for (const auto &[lo, hi] : ranges) {
        if (c == lo || c == hi || (lo != hi && compareCharacters(lo, c) <= 0 && compareCharacters(c, hi) <= 0)) {
            in = true;
            break;
        }
    }
    if (seen->size() < 4096)
        seen->emplace(c, in != negated);
    return in != negated;
}

std::optional<LikePattern> LikePattern::compile(const QString &pattern)
{
    const std::u32string p = foldText(pattern);
    const QList<uint> written = pattern.toUcs4();  // folding keeps one character for one
    LikePattern result;
    for (size_t i = 0; i < p.size(); ++i) {
        Token t;
        const char32_t c = p[i];
        if (c == '*') {
            if (!result.tokens_.empty() && result.tokens_.back().kind == Token::AnyRun)
                continue;
            t.kind = Token::AnyRun;
        } else if (c == '?') {
            t.kind = Token::AnyOne;
        } else if (c == '#') {
            t.kind = Token::Digit;
        } else if (c == '[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            std::u32string_view body(p.data() + i + 1, close - i - 1);
            t.kind = Token::Set;
            if (!body.empty() && body.front() == '!' && body.size() > 1) {
                t.negated = true;
                body.remove_prefix(1);
            }
            if (body.empty()) {
                // "[]" matches nothing in the value: it stands for an empty string
                i = close;
                continue;
            }
            for (size_t k = 0; k < body.size(); ++k) {
                if (k + 2 < body.size() && body[k + 1] == '-') {
                    const char32_t lo = body[k], hi = body[k + 2];
                    if (compareCharacters(lo, hi) > 0)
                        return std::nullopt;
                    t.ranges.emplace_back(lo, hi);
                    k += 2;
                } else {
                    t.ranges.emplace_back(body[k], body[k]);
                }
            }
            if (!t.negated && body.size() == 1)
                t.written = char32_t(written[qsizetype(close - 1)]);
            i = close;
        } else {
            t.ch = c;
            t.written = char32_t(written[qsizetype(i)]);
        }
        result.tokens_.push_back(std::move(t));
    }
    return result;
}

std::optional<QString> LikePattern::literal() const
{
    std::u32string text;
    for (const Token &t : tokens_) {
        if (t.written == 0)
            return std::nullopt;
        text.push_back(t.written);
    }
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

bool LikePattern::matches(std::u32string_view v) const
{
    size_t ti = 0, vi = 0;
    size_t starToken = SIZE_MAX, starValue = 0;
    while (vi < v.size()) {
        if (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun) {
            starToken = ti++;
            starValue = vi;
        } else if (ti < tokens_.size() && tokens_[ti].accepts(v[vi])) {
            ++ti;
            ++vi;
        } else if (starToken != SIZE_MAX) {
            ti = starToken + 1;
            vi = ++starValue;
        } else {
            return false;
        }
    }
    while (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun)
        ++ti;
    return ti == tokens_.size();
}

QString LikePattern::regex() const
{
    QString out = QStringLiteral("^");
    for (const Token &t : tokens_) {
        switch (t.kind) {
        case Token::Literal: appendLiteral(out, t.ch); break;
        case Token::AnyRun: out += QStringLiteral(".*"); break;
        case Token::AnyOne: out += u'.'; break;
        case Token::Digit: out += QStringLiteral("[0-9]"); break;
        case Token::Set:
            out += t.negated ? QStringLiteral("[^") : QStringLiteral("[");
            for (const auto &[lo, hi] : t.ranges) {
                if (lo == hi) {
                    appendLiteral(out, lo);
                    continue;
                }
                for (const auto &[first, last] : rangeMembers(lo, hi)) {
                    appendLiteral(out, first);
                    if (last > first + 1)
                        out += u'-';
                    if (last > first)
                        appendLiteral(out, last);
                }
            }
            out += u']';
            break;
        }
    }
    out += u'$';
    return out;
}

bool LikePattern::matchesUtf8(std::string_view value) const
{
    thread_local std::u32string buffer;
    foldUtf8(value, buffer);
    return matches(buffer);
}

bool LikePattern::matches(const QString &value) const
{
    const std::u32string folded = foldText(value);
    return matches(std::u32string_view(folded));
}

}  // namespace tvx::data
