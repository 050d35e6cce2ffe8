// The `like` matcher. Input: the pattern, a line end, then the value (which
// may hold line ends itself).
// Properties:
// - only an unclosed or reversed [ ] list is refused;
// - it agrees with a plain table of which beginnings match which;
// - the value as UTF-8 bytes matches as the value as text does;
// - a pattern without wildcards matches itself, and a value made literal
//   matches exactly the values equal to it but for letter case;
// - a match stays a match with * around the pattern and text around the value.

#include "data/jetsql.h"
#include "data/textmatch.h"
#include "fuzzcheck.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

using namespace tvx::data;
using tvx::fuzz::shown;

namespace {

bool hasWildcard(const QString &pattern)
{
    for (const QChar c : pattern)
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return true;
    return false;
}

// The same question answered another way: a table of which beginnings of
// the pattern match which beginnings of the value. A [ ] list is asked of
// the matcher one character at a time. Empty when the pattern is malformed.
std::optional<bool> reference(const QString &pattern, const QString &value)
{
    struct Step {
        enum Kind { Run, One, Digit, Char, List } kind;
        char32_t ch = 0;
        std::optional<LikePattern> list = {};
    };
    const std::u32string p = foldText(pattern), v = foldText(value);
    std::vector<Step> steps;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == U'*') {
            steps.push_back({Step::Run});
        } else if (p[i] == U'?') {
            steps.push_back({Step::One});
        } else if (p[i] == U'#') {
            steps.push_back({Step::Digit});
        } else if (p[i] == U'[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            if (close > i + 1) {  // "[]" stands for nothing
                Step list{Step::List};
                list.list = LikePattern::compile(QString::fromUcs4(p.data() + i, qsizetype(close - i + 1)));
                if (!list.list)
                    return std::nullopt;
                steps.push_back(std::move(list));
            }
            i = close;
        } else {
            steps.push_back({Step::Char, p[i]});
        }
    }
    // matched[j]: the steps so far match the first j characters of the value
    std::vector<char> matched(v.size() + 1, 0), next(v.size() + 1);
    matched[0] = 1;
    for (const Step &step : steps) {
        std::fill(next.begin(), next.end(), 0);
        for (size_t j = 0; j <= v.size(); ++j) {
            if (step.kind == Step::Run) {
                next[j] = matched[j] || (j > 0 && next[j - 1]);
                continue;
            }
            if (j == 0 || !matched[j - 1])
                continue;
            const char32_t c = v[j - 1];
            switch (step.kind) {
            case Step::One: next[j] = 1; break;
            case Step::Digit: next[j] = c >= U'0' && c <= U'9'; break;
            case Step::Char: next[j] = c == step.ch; break;
            case Step::List: next[j] = step.list->matches(std::u32string_view(&c, 1)); break;
            case Step::Run: break;
            }
        }
        matched.swap(next);
    }
    return matched[v.size()] != 0;
}

// Decoding that refuses malformed UTF-8 instead of replacing it.
bool validUtf8(QByteArrayView bytes, QString &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    text = decoder(bytes);
    return !decoder.hasError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype newline = input.indexOf('\n');
    const QByteArrayView patternBytes = newline < 0 ? input : input.first(newline);
    const QByteArrayView valueBytes = newline < 0 ? QByteArrayView() : input.sliced(newline + 1);
    const QString pattern = QString::fromUtf8(patternBytes);
    QString value;
    const bool wellFormed = validUtf8(valueBytes, value);
    if (!wellFormed)
        value = QString::fromUtf8(valueBytes);
    const QString what = QStringLiteral("pattern „%1”, value „%2”").arg(shown(pattern), shown(value));

    const auto like = LikePattern::compile(pattern);
    TVX_FUZZ_CHECK(like || pattern.contains(u'['), what);
    if (!like)
        return 0;

    const bool matched = like->matches(value);
    if (pattern.size() <= 64 && value.size() <= 512) {
        const auto expected = reference(pattern, value);
        TVX_FUZZ_CHECK(expected, what);
        TVX_FUZZ_CHECK(*expected == matched, what);
    }
    // the engine hands over UTF-8; malformed bytes are read one by one there, so they may differ
    if (wellFormed)
        TVX_FUZZ_CHECK(like->matchesUtf8(std::string_view(valueBytes.data(), size_t(valueBytes.size()))) == matched, what);
    if (!hasWildcard(pattern))
        TVX_FUZZ_CHECK(like->matches(pattern), what);

    if (matched) {
        const auto around = LikePattern::compile(QStringLiteral("*") + pattern + QStringLiteral("*"));
        TVX_FUZZ_CHECK(around, what);
        TVX_FUZZ_CHECK(around->matches(QStringLiteral("x") + value + QStringLiteral("\u0151")), what);
    }

    if (wellFormed) {
        const auto exact = LikePattern::compile(jet::likeLiteral(value));
        TVX_FUZZ_CHECK(exact, what);
        TVX_FUZZ_CHECK(exact->matches(value), what);
        const QByteArray valueUtf8 = value.toUtf8(), patternUtf8 = pattern.toUtf8();
        TVX_FUZZ_CHECK(exact->matches(pattern) == equalIgnoringCase(valueUtf8.toStdString(), patternUtf8.toStdString()), what);
    }
    return 0;
}
