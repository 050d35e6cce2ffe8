// The `like` matcher. Input: the pattern, a line end, then the value (which
// may hold line ends itself).
// Properties:
// - only an unclosed or reversed [ ] list is refused;
// - the value as UTF-8 bytes matches as the value as text does;
// - a pattern without wildcards matches itself, and a value made literal
//   matches exactly the values equal to it but for letter case;
// - a match stays a match with * around the pattern and text around the value.

#include "data/jetsql.h"
#include "data/textmatch.h"
#include "fuzzcheck.h"

#include <QStringDecoder>

#include <cstdint>

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
