#pragma once

// Reads an RTF file with our reader and with pandoc (-t plain) and compares
// the two texts as sequences of words.
//
// Differences accepted, because pandoc 2.17 (Debian 12) reads them otherwise
// or wrongly, or shows what we leave out:
// - code pages: pandoc decodes every \'hh as windows-1252, whatever \ansicpg
//   or \fcharset says, so every character outside ASCII compares as "?";
// - \uN followed by its fallback without a space ("\u337?"): pandoc takes the
//   "?" for the delimiter and drops the next character; it gets a copy with
//   the space added (the same RTF);
// - list markers: pandoc draws bullets as "-" (or "·" for WordPad's Symbol
//   bullet), we show the marker text the file carries; a marker at the start
//   of a line is left out on both sides;
// - lines, borders and marks that are only punctuation: table rules, "~~"
//   around struck-out text, bullets and dashes standing alone;
// - sub- and superscripts: pandoc writes "²", we keep "2" (compatibility
//   normalisation);
// - footnotes: pandoc shows "[1]" and the notes at the end, we leave
//   footnotes out; pictures: pandoc shows "[image]" for those it cannot show;
// - fields other than HYPERLINK: pandoc drops their result, we show it as a
//   word processor does (the samples keep such fields out).

#include "help/rtfreader.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace rtftest {

inline QString pandocPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("pandoc"));
}

// The same RTF with a space after every \uN.
inline QByteArray spacedUnicode(const QByteArray &rtf)
{
    QByteArray out;
    out.reserve(rtf.size() + rtf.size() / 16);
    const auto digit = [&](qsizetype i) { return i < rtf.size() && rtf[i] >= '0' && rtf[i] <= '9'; };
    for (qsizetype i = 0; i < rtf.size();) {
        if (rtf[i] != '\\' || i + 1 >= rtf.size()) {
            out += rtf[i++];
            continue;
        }
        const char next = rtf[i + 1];
        if (next == 'u' && (digit(i + 2) || (i + 3 < rtf.size() && rtf[i + 2] == '-' && digit(i + 3)))) {
            qsizetype end = i + 3;
            while (digit(end))
                ++end;
            out += rtf.mid(i, end - i);
            if (end >= rtf.size() || rtf[end] != ' ')
                out += ' ';
            i = end;
        } else if (rtf.mid(i + 1, 3) == "bin" && digit(i + 4)) {
            qsizetype end = i + 4;
            qint64 length = 0;
            while (digit(end))
                length = std::min<qint64>(length * 10 + (rtf[end++] - '0'), rtf.size());
            if (end < rtf.size() && rtf[end] == ' ')
                ++end;
            end = std::min<qsizetype>(end + length, rtf.size());
            out += rtf.mid(i, end - i);
            i = end;
        } else {
            out += rtf.mid(i, 2);  // keeps \\ \{ \} together
            i += 2;
        }
    }
    return out;
}

// The words two readers must agree on.
inline QStringList comparableWords(QString text, bool fromPandoc)
{
    text = text.normalized(QString::NormalizationForm_KC);
    if (fromPandoc) {
        QStringList paragraphs = text.split(QStringLiteral("\n\n"));
        static const QRegularExpression note(QStringLiteral("^\\[\\d+\\]\\s"));
        paragraphs.removeIf([](const QString &p) { return note.match(p).hasMatch(); });
        text = paragraphs.join(QStringLiteral("\n\n"));
        static const QRegularExpression marks(QStringLiteral("\\[\\d+\\]|\\[image\\]|~~"));
        text.remove(marks);
    }
    static const QRegularExpression tabMarker(QStringLiteral("^\\s*(?:[^\\sA-Za-z0-9]|o|[0-9A-Za-z]{1,3}[.)])\\t"));
    static const QRegularExpression numberMarker(QStringLiteral("^\\(?[0-9A-Za-z]{1,3}[.)]$"));
    QStringList words;
    for (QString line : text.split(u'\n')) {
        line.remove(tabMarker);
        bool first = true;
        for (const QString &token : line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            if (first && numberMarker.match(token).hasMatch()) {
                first = false;
                continue;
            }
            first = false;
            if (std::none_of(token.begin(), token.end(), [](QChar c) { return c.isLetterOrNumber(); }))
                continue;
            QString folded = token;
            for (QChar &c : folded)
                if (c.unicode() >= 0x80)
                    c = u'?';
            words << folded;
        }
    }
    return words;
}

// Empty when both read the same words from `path`, else where they part.
inline QString compareWithPandoc(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + path;
    const QByteArray rtf = file.readAll();

    QProcess pandoc;
    pandoc.start(pandocPath(), {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
                                QStringLiteral("--wrap=none")});
    if (!pandoc.waitForStarted())
        return QStringLiteral("pandoc did not start");
    pandoc.write(spacedUnicode(rtf));
    pandoc.closeWriteChannel();
    if (!pandoc.waitForFinished(120000) || pandoc.exitCode() != 0)
        return QStringLiteral("pandoc failed: ") + QString::fromLocal8Bit(pandoc.readAllStandardError());

    const QStringList theirs = comparableWords(QString::fromUtf8(pandoc.readAllStandardOutput()), true);
    const QStringList ours = comparableWords(tvx::help::rtfPlainText(rtf), false);
    if (ours == theirs)
        return {};
    qsizetype at = 0;
    while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at])
        ++at;
    const auto around = [at](const QStringList &w) { return w.mid(std::max<qsizetype>(0, at - 5), 12).join(u' '); };
    return QStringLiteral("word %1 of %2/%3 differs\n  ours:   %4\n  pandoc: %5")
        .arg(at)
        .arg(ours.size())
        .arg(theirs.size())
        .arg(around(ours), around(theirs));
}

}  // namespace rtftest
