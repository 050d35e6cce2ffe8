#include "help/rtfreader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

// What is read, and what is left out on purpose:
// - headers, footers, footnotes, annotations, index and contents entries are
//   skipped whole (the viewer shows the body; a footnote's text in the middle
//   of its sentence would only break it);
// - text marked hidden (\v) is skipped;
// - the list table is skipped: a list item's marker comes from its \listtext
//   or \pntext group, which the writers put in front of every item;
// - table rows go into one table until a paragraph outside the table; rows
//   with fewer cells leave the rest of the row empty; a nested table's cells
//   become paragraphs of the outer cell;
// - pictures: PNG and JPEG only; metafiles and bitmaps are skipped, Word's
//   \nonshppict copy too; a floating picture or text box (\shpinst) shows
//   only through the copy its writer put beside it;
// - HYPERLINK fields become links; other fields show their last result;
// - a stray closing brace does not end the document: what follows it is
//   still read, without the formatting of the groups it closed.

namespace tvx::help {
namespace {

constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch, 96 pixels an inch
constexpr int kMaxColumns = 64;     // Word's own limit is 63
constexpr qsizetype kMaxFieldInstruction = 4096;
constexpr qsizetype kMaxNameBytes = 256;  // a font or style name, a title
constexpr int kMaxParam = 1000000000;

// Code pages the reader knows besides the numbered ones: the symbol fonts,
// whose bytes are glyph numbers.
constexpr int kSymbolPage = 42;     // Windows' own number for CP_SYMBOL
constexpr int kWingdingsPage = -2;  // Wingdings and its kin, charset 2 as well

int clampInt(int value, int low, int high)
{
    return std::clamp(value, low, high);
}

// ---------------------------------------------------------------------------
// Code pages

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolPage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;  // the document's code page
    }
}

QByteArray codecName(int cp)
{
    switch (cp) {
    case 10000: return "macintosh";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 65001: return "UTF-8";
    default: break;
    }
    if (cp >= 1250 && cp <= 1258)
        return "windows-" + QByteArray::number(cp);
    if (cp == 874)
        return "windows-874";
    if (cp > 0 && cp < 1000)
        return "IBM" + QByteArray::number(cp);
    return {};
}

bool isMultiByte(int cp)
{
    return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 1361 || cp == 65001;
}

char16_t symbolChar(int page, unsigned char byte)
{
    // Only the glyphs that word processors use as list markers.
    if (page == kSymbolPage) {
        if (byte == 0xB7)
            return u'\u2022';
    } else {
        switch (byte) {
        case 0xA7: return u'\u25AA';
        case 0x6C: return u'\u25CF';
        case 0x6E: return u'\u25A0';
        case 0x71: return u'\u2751';
        case 0x76: return u'\u2756';
        case 0xD8: return u'\u27A2';
        case 0xFC: return u'\u2713';
        default: break;
        }
    }
    return byte;
}

struct CodePage {
    int number = 1252;
    bool multiByte = false;
    std::array<char16_t, 256> table{};  // single-byte pages
    std::unique_ptr<QStringDecoder> decoder;  // multi-byte pages
};

class CodePages {
public:
    const CodePage &get(int number)
    {
        auto it = pages_.find(number);
        if (it != pages_.end())
            return *it->second;
        auto page = std::make_unique<CodePage>();
        page->number = number;
        if (number == kSymbolPage || number == kWingdingsPage) {
            for (int b = 0; b < 256; ++b)
                page->table[b] = symbolChar(number, static_cast<unsigned char>(b));
        } else {
            QByteArray name = codecName(number);
            auto decoder = std::make_unique<QStringDecoder>(name.isEmpty() ? "windows-1252" : name.constData(),
                                                            QStringConverter::Flag::Stateless);
            if (!decoder->isValid())
                decoder = std::make_unique<QStringDecoder>("windows-1252", QStringConverter::Flag::Stateless);
            if (isMultiByte(number) && decoder->isValid()) {
                page->multiByte = true;
                page->decoder = std::move(decoder);
            } else {
                for (int b = 0; b < 256; ++b) {
                    const char byte = static_cast<char>(b);
                    const QString s = decoder->isValid() ? QString((*decoder)(QByteArrayView(&byte, 1)))
                                                         : QString(QChar(b));
                    page->table[b] = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
                }
            }
        }
        return *(pages_[number] = std::move(page));
    }

private:
    std::unordered_map<int, std::unique_ptr<CodePage>> pages_;
};

// Characters that would be taken for document structure by QTextDocument.
bool keepChar(char16_t c)
{
    if (c < 0x20)
        return c == u'\t';
    return c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC && c != 0xFEFF;
}

// ---------------------------------------------------------------------------
// Keywords

enum class Kw : uint8_t {
    // header
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U,
    // destinations
    FontTbl, ColorTbl, StyleSheet, Info, Title, Pict, FldInst, SkipDest,
    // text
    Par, Sect, Line, Tab, EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote,
    EmSpace, EnSpace, QmSpace, Zwj, Zwnj, LtrMark, RtlMark,
    // character formatting
    Plain, Bold, Italic, Underline, UlNone, Strike, Font, FontSize, ColorFg, ColorBg,
    Super, Sub, NoSuperSub, Caps, SmallCaps, Hidden,
    // paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Style, OutlineLevel, InTable,
    // tables
    Trowd, Cellx, Cell, NestCell, Row,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
    // colour and font tables
    Red, Green, Blue, FCharset, Cpg, FRoman, FSwiss, FModern, FScript, FDecor, FOther,
    Bin,
};

const std::unordered_map<std::string_view, Kw> &keywords()
{
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m = {
            {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
            {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
            {"fonttbl", Kw::FontTbl}, {"colortbl", Kw::ColorTbl}, {"stylesheet", Kw::StyleSheet},
            {"info", Kw::Info}, {"title", Kw::Title}, {"pict", Kw::Pict}, {"fldinst", Kw::FldInst},
            {"par", Kw::Par}, {"sect", Kw::Sect}, {"line", Kw::Line}, {"tab", Kw::Tab},
            {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"bullet", Kw::Bullet},
            {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote},
            {"rdblquote", Kw::RDblQuote}, {"emspace", Kw::EmSpace}, {"enspace", Kw::EnSpace},
            {"qmspace", Kw::QmSpace}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
            {"ltrmark", Kw::LtrMark}, {"rtlmark", Kw::RtlMark},
            {"plain", Kw::Plain}, {"b", Kw::Bold}, {"i", Kw::Italic},
            {"ulnone", Kw::UlNone}, {"strike", Kw::Strike}, {"striked", Kw::Strike},
            {"f", Kw::Font}, {"fs", Kw::FontSize}, {"cf", Kw::ColorFg},
            {"cb", Kw::ColorBg}, {"highlight", Kw::ColorBg}, {"chcbpat", Kw::ColorBg},
            {"super", Kw::Super}, {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub},
            {"caps", Kw::Caps}, {"scaps", Kw::SmallCaps}, {"v", Kw::Hidden},
            {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr},
            {"qj", Kw::Qj}, {"qd", Kw::Qj},
            {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"fi", Kw::Fi},
            {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"s", Kw::Style}, {"outlinelevel", Kw::OutlineLevel},
            {"intbl", Kw::InTable},
            {"trowd", Kw::Trowd}, {"cellx", Kw::Cellx}, {"cell", Kw::Cell},
            {"nestcell", Kw::NestCell}, {"row", Kw::Row},
            {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip},
            {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
            {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
            {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
            {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg},
            {"froman", Kw::FRoman}, {"fswiss", Kw::FSwiss}, {"fmodern", Kw::FModern},
            {"fscript", Kw::FScript}, {"fdecor", Kw::FDecor},
            {"fnil", Kw::FOther}, {"ftech", Kw::FOther}, {"fbidi", Kw::FOther},
            {"bin", Kw::Bin},
        };
        for (std::string_view w : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                   "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                   "ulthldash", "ululdbwave", "ulw", "ulwave"})
            m.emplace(w, Kw::Underline);
        for (std::string_view w : {"wmetafile", "emfblip", "macpict", "pmmetafile", "dibitmap", "wbitmap"})
            m.emplace(w, Kw::OtherBlip);
        // Groups that are not body text; most come behind \* as well.
        for (std::string_view w : {"header", "headerl", "headerr", "headerf", "footer", "footerl",
                                   "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
                                   "atntime", "atnref", "atnicn", "xe", "tc", "tcn", "txe", "rxe",
                                   "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
                                   "pn", "pntxta", "pntxtb", "pnseclvl", "nonshppict", "shpinst",
                                   "objdata", "objclass", "objname", "themedata", "colorschememapping",
                                   "datastore", "latentstyles", "template", "bkmkstart", "bkmkend",
                                   "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
                                   "do", "private", "userprops", "docvar", "generator", "xmlnstbl",
                                   "pgdsctbl", "listpicture", "nesttableprops", "comment", "buptim",
                                   "printim", "revtim", "creatim", "author", "operator", "company"})
            m.emplace(w, Kw::SkipDest);
        return m;
    }();
    return map;
}

// Words that stand for one character: a \u's fallback may be one of them.
bool isCharacterWord(Kw kw)
{
    switch (kw) {
    case Kw::EmDash: case Kw::EnDash: case Kw::Bullet: case Kw::LQuote: case Kw::RQuote:
    case Kw::LDblQuote: case Kw::RDblQuote: case Kw::EmSpace: case Kw::EnSpace: case Kw::QmSpace:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Group state

enum class Dest : uint8_t { Body, FontTable, ColorTable, StyleSheet, Drop, Title, Pict, FieldInst };

enum CharFlag : uint16_t {
    FBold = 1, FItalic = 2, FUnderline = 4, FStrike = 8, FSuper = 16, FSub = 32,
    FCaps = 64, FSmallCaps = 128, FHidden = 256,
};

struct CharProps {
    int font = -1;  // -1: the default font
    int halfPoints = 24;
    int fg = 0;     // colour table indexes; 0 is "automatic"
    int bg = 0;
    int link = 0;   // 1 + index into the links
    uint16_t flags = 0;
    bool operator==(const CharProps &) const = default;
};

struct CharPropsHash {
    size_t operator()(const CharProps &c) const
    {
        size_t h = size_t(c.font) * 0x9E3779B1u;
        h ^= size_t(c.halfPoints) + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h ^= size_t(c.fg) * 31 + size_t(c.bg) * 131 + size_t(c.link) * 1031 + size_t(c.flags) * 8191 + (h << 6);
        return h;
    }
};

enum class Align : uint8_t { Left, Center, Right, Justify };

struct ParaProps {
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;  // twips
    int style = 0;
    int outline = -1;  // \outlinelevel, -1: none
    Align align = Align::Left;
    bool inTable = false;
    bool operator==(const ParaProps &) const = default;
};

struct State {
    CharProps chr;
    ParaProps para;
    Dest dest = Dest::Body;
    uint8_t uc = 1;
    bool star = false;   // \* seen: an unknown destination follows
    bool owner = false;  // this group opened its destination
};

struct Font {
    QString name;
    int codePage = 0;  // 0: the document's
    QFont::StyleHint hint = QFont::AnyStyle;
};

struct Run {
    QTextCharFormat format;  // a QTextImageFormat for a picture
    QString text;
};

struct Paragraph {
    QTextBlockFormat block;
    QTextCharFormat charFormat;
    std::vector<Run> runs;
};

using Cell = std::vector<Paragraph>;
using Row = std::vector<Cell>;

struct Picture {
    enum Kind : uint8_t { None, Png, Jpeg, Other };
    Kind kind = None;
    int wGoal = 0, hGoal = 0, scaleX = 100, scaleY = 100;
    QByteArray data;
    int highNibble = -1;
    bool overflow = false;
};

constexpr std::array<int8_t, 256> makeHexTable()
{
    std::array<int8_t, 256> t{};
    for (auto &v : t)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = int8_t(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        t[c] = int8_t(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        t[c] = int8_t(c - 'A' + 10);
    return t;
}
constexpr std::array<int8_t, 256> kHex = makeHexTable();

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// ---------------------------------------------------------------------------

class Reader {
public:
    Reader(const QByteArray &rtf, QTextDocument &document, const RtfLimits &limits)
        : p_(rtf.constData()), end_(rtf.constData() + rtf.size()), document_(document), cursor_(&document),
          limits_(limits), maxDepth_(std::max(1, limits.maxDepth)), textBudget_(limits.maxTextChars)
    {
        stack_.reserve(size_t(std::min(maxDepth_, 4096)) + 1);
        stack_.emplace_back();
    }

    void run()
    {
        cursor_.beginEditBlock();
        while (p_ < end_) {
            const char c = *p_;
            if (c == '\\') {
                ++p_;
                control();
            } else if (c == '{') {
                ++p_;
                openGroup();
            } else if (c == '}') {
                ++p_;
                closeGroup();
            } else if (c == '\r' || c == '\n') {
                ++p_;
            } else {
                text();
            }
        }
        finish();
        cursor_.endEditBlock();
    }

private:
    State &state() { return stack_.back(); }

    // -- groups -------------------------------------------------------------

    void openGroup()
    {
        flushBytes();
        ucSkip_ = 0;
        if (state().star) {
            skipToGroupEnd();  // the group just opened
            skipRest();        // and the rest of the one behind \*
            return;
        }
        if (int(stack_.size()) > maxDepth_) {
            skipToGroupEnd();
            return;
        }
        stack_.push_back(stack_.back());
        State &s = stack_.back();
        s.owner = false;
        s.star = false;
    }

    void closeGroup()
    {
        flushBytes();
        ucSkip_ = 0;
        if (stack_.size() <= 1)
            return;  // a stray closing brace
        const State closing = stack_.back();
        stack_.pop_back();
        switch (closing.dest) {
        case Dest::FontTable:
            commitFont();
            break;
        case Dest::StyleSheet:
            commitStyle();
            break;
        case Dest::Pict:
            if (closing.owner)
                finishPicture();
            break;
        case Dest::FieldInst:
            if (closing.owner)
                finishFieldInstruction();
            break;
        case Dest::Title:
            if (closing.owner)
                document_.setMetaInformation(QTextDocument::DocumentTitle, title_.trimmed());
            break;
        default:
            break;
        }
    }

    // Moves past the brace that closes the group just opened, whatever is in it.
    void skipToGroupEnd()
    {
        int depth = 1;
        while (p_ < end_) {
            const char c = *p_++;
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0)
                    return;
            } else if (c == '\\' && p_ < end_) {
                if (!isLetter(*p_)) {
                    ++p_;
                    continue;
                }
                const char *name = p_;
                while (p_ < end_ && isLetter(*p_))
                    ++p_;
                if (std::string_view(name, size_t(p_ - name)) == "bin") {
                    bool has = false;
                    const int n = parameter(has);
                    if (has && n > 0)
                        p_ += std::min<qint64>(n, end_ - p_);
                }
            }
        }
    }

    // Skips the rest of the current group and leaves it; the outermost group
    // is never skipped that way.
    void skipRest()
    {
        if (stack_.size() < 3) {
            state().star = false;
            return;
        }
        flushBytes();
        skipToGroupEnd();
        stack_.pop_back();
    }

    // -- tokens -------------------------------------------------------------

    // Reads an optional signed number after a control word and the space that
    // may end it; absurd numbers are clamped.
    int parameter(bool &has)
    {
        has = false;
        bool negative = false;
        if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
            negative = true;
            ++p_;
        }
        qint64 value = 0;
        while (p_ < end_ && isDigit(*p_)) {
            has = true;
            if (value < kMaxParam)
                value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ')
            ++p_;
        value = std::min<qint64>(value, kMaxParam);
        return int(negative ? -value : value);
    }

    void control()
    {
        if (p_ >= end_)
            return;
        const char c = *p_;
        if (isLetter(c)) {
            const char *name = p_;
            while (p_ < end_ && isLetter(*p_))
                ++p_;
            const std::string_view word(name, size_t(p_ - name));
            bool has = false;
            const int param = parameter(has);
            controlWord(word, has, param);
            return;
        }
        ++p_;
        if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && p_ < end_ && kHex[uint8_t(*p_)] >= 0) {
                value = value * 16 + kHex[uint8_t(*p_)];
                ++p_;
                ++digits;
            }
            if (state().star) {
                skipRest();
                return;
            }
            if (digits == 0)
                return;
            if (ucSkip_ > 0) {
                --ucSkip_;
                return;
            }
            const char byte = char(value);
            bytes(&byte, 1);
            return;
        }
        if (c == '*') {
            state().star = true;
            return;
        }
        if (state().star) {
            skipRest();
            return;
        }
        flushBytes();
        char16_t ch = 0;
        switch (c) {
        case '\\': case '{': case '}': ch = char16_t(c); break;
        case '~': ch = u'\u00A0'; break;
        case '-': ch = u'\u00AD'; break;
        case '_': ch = u'\u2011'; break;
        case '\r': case '\n':
            ucSkip_ = 0;
            if (state().dest == Dest::Body)
                endParagraph();
            return;
        case '\t':
            ch = u'\t';
            break;
        default:
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        literal(ch);
    }

    void controlWord(std::string_view word, bool has, int param)
    {
        State &s = state();
        if (s.star) {
            s.star = false;
            if (word != "shppict" && word != "fldinst") {
                skipRest();
                return;
            }
        }
        const auto &map = keywords();
        const auto it = map.find(word);
        if (it == map.end())
            return;
        const Kw kw = it->second;
        if (ucSkip_ > 0) {
            if (isCharacterWord(kw)) {
                --ucSkip_;
                return;
            }
            ucSkip_ = 0;
        }
        flushBytes();
        const bool on = !has || param != 0;
        switch (kw) {
        // header
        case Kw::Ansi: ansiCodePage_ = 1252; break;
        case Kw::Mac: ansiCodePage_ = 10000; break;
        case Kw::Pc: ansiCodePage_ = 437; break;
        case Kw::Pca: ansiCodePage_ = 850; break;
        case Kw::AnsiCpg:
            if (has && param > 0 && param < 100000) {
                ansiCodePage_ = param;
                fontPageCache_ = INT_MIN;
            }
            break;
        case Kw::Deff:
            if (has) {
                defaultFont_ = param;
                fontPageCache_ = INT_MIN;
                formatCache_.clear();
            }
            break;
        case Kw::Uc:
            if (has)
                s.uc = uint8_t(clampInt(param, 0, 16));
            break;
        case Kw::U:
            if (has)
                unicode(param);
            break;

        // destinations
        case Kw::FontTbl:
            s.dest = Dest::FontTable;
            fontPending_ = false;
            break;
        case Kw::ColorTbl:
            s.dest = Dest::ColorTable;
            red_ = green_ = blue_ = -1;
            break;
        case Kw::StyleSheet:
            s.dest = Dest::StyleSheet;
            stylePending_ = false;
            break;
        case Kw::Info:
            s.dest = Dest::Drop;
            break;
        case Kw::Title:
            if (s.dest == Dest::Drop && stack_.size() >= 3) {
                s.dest = Dest::Title;
                s.owner = true;
                title_.clear();
            }
            break;
        case Kw::Pict:
            if (stack_.size() >= 3) {
                s.dest = Dest::Pict;
                s.owner = true;
                picture_ = Picture();
            }
            break;
        case Kw::FldInst:
            if (stack_.size() >= 3) {
                s.dest = Dest::FieldInst;
                s.owner = true;
                fieldInstruction_.clear();
            }
            break;
        case Kw::SkipDest:
            skipRest();
            break;

        // text
        case Kw::Par:
            if (s.dest == Dest::Body)
                endParagraph();
            break;
        case Kw::Sect:
            if (s.dest == Dest::Body && paragraphHasContent())
                endParagraph();
            break;
        case Kw::Line: literal(u'\u2028'); break;
        case Kw::Tab: literal(u'\t'); break;
        case Kw::EmDash: literal(u'\u2014'); break;
        case Kw::EnDash: literal(u'\u2013'); break;
        case Kw::Bullet: literal(u'\u2022'); break;
        case Kw::LQuote: literal(u'\u2018'); break;
        case Kw::RQuote: literal(u'\u2019'); break;
        case Kw::LDblQuote: literal(u'\u201C'); break;
        case Kw::RDblQuote: literal(u'\u201D'); break;
        case Kw::EmSpace: literal(u'\u2003'); break;
        case Kw::EnSpace: literal(u'\u2002'); break;
        case Kw::QmSpace: literal(u'\u2005'); break;
        case Kw::Zwj: literal(u'\u200D'); break;
        case Kw::Zwnj: literal(u'\u200C'); break;
        case Kw::LtrMark: literal(u'\u200E'); break;
        case Kw::RtlMark: literal(u'\u200F'); break;

        // character formatting
        case Kw::Plain: {
            const int link = s.chr.link;
            s.chr = CharProps();
            s.chr.link = link;  // the field's result stays a link
            break;
        }
        case Kw::Bold: setFlag(s, FBold, on); break;
        case Kw::Italic: setFlag(s, FItalic, on); break;
        case Kw::Underline: setFlag(s, FUnderline, on); break;
        case Kw::UlNone: setFlag(s, FUnderline, false); break;
        case Kw::Strike: setFlag(s, FStrike, on); break;
        case Kw::Super:
            setFlag(s, FSub, false);
            setFlag(s, FSuper, on);
            break;
        case Kw::Sub:
            setFlag(s, FSuper, false);
            setFlag(s, FSub, on);
            break;
        case Kw::NoSuperSub:
            setFlag(s, FSuper, false);
            setFlag(s, FSub, false);
            break;
        case Kw::Caps: setFlag(s, FCaps, on); break;
        case Kw::SmallCaps: setFlag(s, FSmallCaps, on); break;
        case Kw::Hidden: setFlag(s, FHidden, on); break;
        case Kw::Font:
            if (!has)
                break;
            if (s.dest == Dest::FontTable) {
                commitFont();
                fontPending_ = true;
                fontId_ = param;
                font_ = Font();
                fontName_.clear();
            } else {
                s.chr.font = param;
            }
            break;
        case Kw::FontSize:
            if (has && param > 0)
                s.chr.halfPoints = clampInt(param, 2, 3276);
            break;
        case Kw::ColorFg:
            if (has)
                s.chr.fg = clampInt(param, 0, 1 << 20);
            break;
        case Kw::ColorBg:
            if (has)
                s.chr.bg = clampInt(param, 0, 1 << 20);
            break;

        // paragraph formatting
        case Kw::Pard: s.para = ParaProps(); break;
        case Kw::Ql: s.para.align = Align::Left; break;
        case Kw::Qc: s.para.align = Align::Center; break;
        case Kw::Qr: s.para.align = Align::Right; break;
        case Kw::Qj: s.para.align = Align::Justify; break;
        case Kw::Li: s.para.li = twips(param); break;
        case Kw::Ri: s.para.ri = twips(param); break;
        case Kw::Fi: s.para.fi = twips(param); break;
        case Kw::Sb: s.para.sb = std::max(0, twips(param)); break;
        case Kw::Sa: s.para.sa = std::max(0, twips(param)); break;
        case Kw::Style:
            if (s.dest == Dest::StyleSheet) {
                commitStyle();
                stylePending_ = true;
                styleId_ = param;
                styleOutline_ = -1;
                styleName_.clear();
            } else {
                s.para.style = param;
            }
            break;
        case Kw::OutlineLevel: {
            const int level = has && param >= 0 && param < 9 ? param : -1;
            if (s.dest == Dest::StyleSheet)
                styleOutline_ = level;
            else
                s.para.outline = level;
            break;
        }
        case Kw::InTable: s.para.inTable = on; break;

        // tables
        case Kw::Trowd:
            if (s.dest == Dest::Body) {
                cellx_.clear();
                rowOpen_ = true;
            }
            break;
        case Kw::Cellx:
            if (cellx_.size() < size_t(kMaxColumns))
                cellx_.push_back(twips(param));
            break;
        case Kw::Cell:
            if (s.dest == Dest::Body)
                endCell();
            break;
        case Kw::NestCell:
            if (s.dest == Dest::Body)
                endParagraph();
            break;
        case Kw::Row:
            if (s.dest == Dest::Body)
                endRow();
            break;

        // pictures
        case Kw::PngBlip:
        case Kw::JpegBlip:
        case Kw::OtherBlip:
            if (s.dest == Dest::Pict)
                picture_.kind = kw == Kw::PngBlip ? Picture::Png : kw == Kw::JpegBlip ? Picture::Jpeg : Picture::Other;
            break;
        case Kw::PicWGoal: picture_.wGoal = clampInt(param, 0, 10000000); break;
        case Kw::PicHGoal: picture_.hGoal = clampInt(param, 0, 10000000); break;
        case Kw::PicScaleX: picture_.scaleX = has ? clampInt(param, 1, 10000) : 100; break;
        case Kw::PicScaleY: picture_.scaleY = has ? clampInt(param, 1, 10000) : 100; break;

        // colour and font tables
        case Kw::Red: red_ = clampInt(param, 0, 255); break;
        case Kw::Green: green_ = clampInt(param, 0, 255); break;
        case Kw::Blue: blue_ = clampInt(param, 0, 255); break;
        case Kw::FCharset:
            if (s.dest == Dest::FontTable && has)
                font_.codePage = codePageForCharset(param);
            break;
        case Kw::Cpg:
            if (s.dest == Dest::FontTable && has && param > 0 && param < 100000)
                font_.codePage = param;
            break;
        case Kw::FRoman: font_.hint = QFont::Serif; break;
        case Kw::FSwiss: font_.hint = QFont::SansSerif; break;
        case Kw::FModern: font_.hint = QFont::TypeWriter; break;
        case Kw::FScript: font_.hint = QFont::Cursive; break;
        case Kw::FDecor: font_.hint = QFont::Decorative; break;
        case Kw::FOther: break;

        case Kw::Bin:
            binary(has ? param : 0);
            break;
        }
    }

    static int twips(int value) { return clampInt(value, -200000, 200000); }

    void setFlag(State &s, uint16_t flag, bool on)
    {
        if (on)
            s.chr.flags |= flag;
        else
            s.chr.flags &= uint16_t(~flag);
    }

    void binary(int length)
    {
        const qsizetype n = std::min<qint64>(std::max(0, length), end_ - p_);
        if (state().dest == Dest::Pict)
            appendPictureData(QByteArrayView(p_, n));
        p_ += n;
    }

    // -- text ---------------------------------------------------------------

    void text()
    {
        State &s = state();
        if (s.dest == Dest::Pict) {
            hexData();
            return;
        }
        const char *start = p_;
        while (p_ < end_) {
            const char c = *p_;
            if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
                break;
            ++p_;
        }
        if (s.star) {
            for (const char *q = start; q < p_; ++q) {
                if (*q != ' ') {
                    skipRest();
                    return;
                }
            }
            return;
        }
        if (stack_.size() == 1 && std::all_of(start, p_, [](char c) { return uint8_t(c) <= ' '; }))
            return;  // the line end or padding after the document's last brace
        if (ucSkip_ > 0) {
            const qsizetype skip = std::min<qsizetype>(ucSkip_, p_ - start);
            start += skip;
            ucSkip_ -= int(skip);
        }
        if (start < p_)
            bytes(start, p_ - start);
    }

    // Text bytes in the current font's code page, wherever they belong.
    void bytes(const char *data, qsizetype n)
    {
        State &s = state();
        switch (s.dest) {
        case Dest::Body:
        case Dest::Title:
        case Dest::FieldInst:
            break;
        case Dest::FontTable:
            for (qsizetype i = 0; i < n; ++i) {
                if (data[i] == ';')
                    commitFont();
                else if (fontPending_ && fontName_.size() < kMaxNameBytes)
                    fontName_.append(data[i]);
            }
            return;
        case Dest::StyleSheet:
            for (qsizetype i = 0; i < n; ++i) {
                if (data[i] == ';')
                    commitStyle();
                else if (stylePending_ && styleName_.size() < kMaxNameBytes)
                    styleName_.append(data[i]);
            }
            return;
        case Dest::ColorTable:
            for (qsizetype i = 0; i < n; ++i) {
                if (data[i] == ';')
                    commitColor();
            }
            return;
        case Dest::Drop:
        case Dest::Pict:
            return;
        }
        if (s.dest == Dest::Body && (s.chr.flags & FHidden))
            return;
        const CodePage &page = pageFor(s.chr.font);
        if (!page.multiByte && !pending_.isEmpty())
            flushBytes();
        if (page.multiByte) {
            if (pendingPage_ != page.number)
                flushBytes();
            pendingPage_ = page.number;
            pending_.append(data, n);
            return;
        }
        if (s.dest != Dest::Body) {
            for (qsizetype i = 0; i < n; ++i)
                literal(page.table[uint8_t(data[i])]);
            return;
        }
        QString &out = runFor(s);
        // the budget counts the characters kept, not the control bytes left out
        const qsizetype room = std::min<qsizetype>(n, std::max<qsizetype>(0, textBudget_));
        const qsizetype old = out.size();
        out.resize(old + room);
        char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + old;
        qsizetype kept = 0;
        for (qsizetype i = 0; i < n && kept < room; ++i) {
            const char16_t ch = page.table[uint8_t(data[i])];
            if (ch >= 0x20 || ch == u'\t')
                dst[kept++] = ch;
        }
        out.resize(old + kept);
        textBudget_ -= kept;
    }

    // Multi-byte text waits until its last byte: a character may be split
    // between plain bytes and \'hh escapes.
    void flushBytes()
    {
        if (pending_.isEmpty())
            return;
        const CodePage &page = codePages_.get(pendingPage_);
        QString decoded = page.decoder ? QString((*page.decoder)(pending_)) : QString::fromLatin1(pending_);
        pending_.clear();
        for (const QChar ch : std::as_const(decoded))
            literal(ch.unicode());
    }

    void unicode(int value)
    {
        ucSkip_ = state().uc;
        if (value < -32768 || value > 65535)
            return;
        char16_t ch = char16_t(value < 0 ? value + 65536 : value);
        if (ch >= 0xF020 && ch <= 0xF0FF) {
            // Symbol fonts' glyphs in the private use area
            const int page = pageFor(state().chr.font).number;
            if (page == kSymbolPage || page == kWingdingsPage)
                ch = symbolChar(page, uint8_t(ch - 0xF000));
        }
        literal(ch);
    }

    // One character that needs no code page.
    void literal(char16_t ch)
    {
        State &s = state();
        switch (s.dest) {
        case Dest::Body:
            if ((s.chr.flags & FHidden) || textBudget_ <= 0 || !keepChar(ch))
                return;
            runFor(s).append(QChar(ch));
            --textBudget_;
            return;
        case Dest::Title:
            if (keepChar(ch) && title_.size() < kMaxNameBytes)
                title_.append(QChar(ch));
            return;
        case Dest::FieldInst:
            if (fieldInstruction_.size() < kMaxFieldInstruction)
                fieldInstruction_.append(QChar(ch));
            return;
        default:
            return;
        }
    }

    QString &runFor(const State &s)
    {
        if (!runOpen_ || !(runProps_ == s.chr)) {
            flushRun();
            runProps_ = s.chr;
            runOpen_ = true;
        }
        return runText_;
    }

    void flushRun()
    {
        if (runOpen_ && !runText_.isEmpty())
            paragraph_.runs.push_back(Run{charFormat(runProps_), std::move(runText_)});
        runText_ = QString();
        runOpen_ = false;
    }

    bool paragraphHasContent() const { return !paragraph_.runs.empty() || !runText_.isEmpty() || !pending_.isEmpty(); }

    // -- fonts, colours, styles ---------------------------------------------

    const CodePage &pageFor(int fontId)
    {
        if (fontId == fontPageCache_ && fontPage_)
            return *fontPage_;
        const auto it = fonts_.find(fontId < 0 ? defaultFont_ : fontId);
        int cp = it != fonts_.end() ? it->second.codePage : 0;
        if (cp == kSymbolPage && it->second.name.contains(QLatin1String("wingdings"), Qt::CaseInsensitive))
            cp = kWingdingsPage;
        fontPage_ = &codePages_.get(cp != 0 ? cp : ansiCodePage_);
        fontPageCache_ = fontId;
        return *fontPage_;
    }

    void commitFont()
    {
        if (!fontPending_)
            return;
        fontPending_ = false;
        const int cp = font_.codePage != 0 && font_.codePage != kSymbolPage ? font_.codePage : ansiCodePage_;
        const CodePage &page = codePages_.get(cp);
        QString name;
        if (page.multiByte)
            name = (*page.decoder)(fontName_);
        else
            for (const char b : std::as_const(fontName_))
                name.append(QChar(page.table[uint8_t(b)]));
        font_.name = name.trimmed();
        fonts_[fontId_] = font_;
        fontPageCache_ = INT_MIN;
        formatCache_.clear();
    }

    void commitColor()
    {
        if (colors_.size() < 65536) {
            if (red_ < 0 && green_ < 0 && blue_ < 0)
                colors_.push_back(QColor());  // "automatic"
            else
                colors_.push_back(QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        }
        red_ = green_ = blue_ = -1;
        formatCache_.clear();
    }

    void commitStyle()
    {
        if (!stylePending_)
            return;
        stylePending_ = false;
        int level = styleOutline_ >= 0 ? styleOutline_ + 1 : 0;
        if (level == 0) {
            // "heading 1" (Word), "Heading 1" (LibreOffice), "Címsor 1" (Hungarian)
            const QString name = QString::fromLatin1(styleName_).trimmed().toLower();
            for (const QLatin1StringView prefix : {QLatin1StringView("heading "), QLatin1StringView("c\xEDmsor ")}) {
                if (name.startsWith(prefix) && name.size() == prefix.size() + 1 && name.back() >= u'1' && name.back() <= u'9')
                    level = name.back().unicode() - u'0';
            }
        }
        if (level > 0 && styleHeading_.size() < 4096)
            styleHeading_[styleId_] = level;
    }

    QTextCharFormat charFormat(const CharProps &c)
    {
        const auto cached = formatCache_.find(c);
        if (cached != formatCache_.end())
            return cached->second;
        QTextCharFormat f;
        const auto font = fonts_.find(c.font < 0 ? defaultFont_ : c.font);
        if (font != fonts_.end() && !font->second.name.isEmpty()) {
            f.setFontFamilies({font->second.name});
            if (font->second.hint != QFont::AnyStyle)
                f.setFontStyleHint(font->second.hint);
        }
        f.setFontPointSize(c.halfPoints / 2.0);
        if (c.flags & FBold)
            f.setFontWeight(QFont::Bold);
        if (c.flags & FItalic)
            f.setFontItalic(true);
        if (c.flags & FUnderline)
            f.setFontUnderline(true);
        if (c.flags & FStrike)
            f.setFontStrikeOut(true);
        if (c.flags & FSuper)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (c.flags & FSub)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (c.flags & FCaps)
            f.setFontCapitalization(QFont::AllUppercase);
        else if (c.flags & FSmallCaps)
            f.setFontCapitalization(QFont::SmallCaps);
        if (c.fg > 0 && c.fg < int(colors_.size()) && colors_[size_t(c.fg)].isValid())
            f.setForeground(colors_[size_t(c.fg)]);
        if (c.bg > 0 && c.bg < int(colors_.size()) && colors_[size_t(c.bg)].isValid())
            f.setBackground(colors_[size_t(c.bg)]);
        if (c.link > 0 && c.link <= int(links_.size())) {
            f.setAnchor(true);
            f.setAnchorHref(links_[size_t(c.link - 1)]);
        }
        if (formatCache_.size() > 4096)
            formatCache_.clear();
        formatCache_.emplace(c, f);
        return f;
    }

    QTextBlockFormat blockFormat(const ParaProps &pp)
    {
        if (blockCacheValid_ && pp == blockCacheProps_)
            return blockCache_;
        QTextBlockFormat f;
        switch (pp.align) {
        case Align::Left: f.setAlignment(Qt::AlignLeft); break;
        case Align::Center: f.setAlignment(Qt::AlignHCenter); break;
        case Align::Right: f.setAlignment(Qt::AlignRight); break;
        case Align::Justify: f.setAlignment(Qt::AlignJustify); break;
        }
        if (pp.li)
            f.setLeftMargin(double(pp.li) / kTwipsPerPixel);
        if (pp.ri)
            f.setRightMargin(double(pp.ri) / kTwipsPerPixel);
        if (pp.fi)
            f.setTextIndent(double(pp.fi) / kTwipsPerPixel);
        // a hanging indent is a tab stop too: a list marker's tab reaches the item's text
        // (tab positions count from where the first line starts)
        if (pp.fi < 0)
            f.setTabPositions({QTextOption::Tab(double(-pp.fi) / kTwipsPerPixel, QTextOption::LeftTab)});
        if (pp.sb)
            f.setTopMargin(double(pp.sb) / kTwipsPerPixel);
        if (pp.sa)
            f.setBottomMargin(double(pp.sa) / kTwipsPerPixel);
        int heading = pp.outline >= 0 ? pp.outline + 1 : 0;
        if (heading == 0 && pp.style != 0) {
            const auto it = styleHeading_.find(pp.style);
            if (it != styleHeading_.end())
                heading = it->second;
        }
        if (heading > 0)
            f.setHeadingLevel(heading);
        blockCache_ = f;
        blockCacheProps_ = pp;
        blockCacheValid_ = true;
        return f;
    }

    // -- fields -------------------------------------------------------------

    void finishFieldInstruction()
    {
        // HYPERLINK "url"  or  HYPERLINK \l "bookmark"
        const QString instruction = fieldInstruction_.trimmed();
        fieldInstruction_.clear();
        if (!instruction.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
            return;
        const qsizetype open = instruction.indexOf(u'"');
        const qsizetype close = open < 0 ? -1 : instruction.indexOf(u'"', open + 1);
        if (close <= open + 1)
            return;
        QString target = instruction.mid(open + 1, close - open - 1);
        if (instruction.left(open).contains(QLatin1String("\\l")))
            target.prepend(u'#');
        if (links_.size() >= 65536)
            return;
        links_.push_back(target);
        state().chr.link = int(links_.size());
    }

    // -- pictures -----------------------------------------------------------

    void hexData()
    {
        Picture &pic = picture_;
        const char *start = p_;
        while (p_ < end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}')
            ++p_;
        if (pic.overflow || pic.kind == Picture::Other)
            return;
        // Two digits a byte; spaces, line ends and stray bytes between them are ignored.
        const qsizetype room = limits_.maxPictureBytes - pic.data.size();
        const qsizetype old = pic.data.size();
        pic.data.resize(old + std::min<qsizetype>((p_ - start) / 2 + 1, std::max<qsizetype>(room, 0)));
        char *dst = pic.data.data() + old;
        char *const dstEnd = pic.data.data() + pic.data.size();
        int high = pic.highNibble;
        for (const char *q = start; q < p_; ++q) {
            const int v = kHex[uint8_t(*q)];
            if (v < 0)
                continue;
            if (high < 0) {
                high = v;
                continue;
            }
            if (dst == dstEnd) {
                pic.overflow = true;
                pic.data.clear();
                return;
            }
            *dst++ = char(high << 4 | v);
            high = -1;
        }
        pic.highNibble = high;
        pic.data.resize(dst - pic.data.data());
    }

    void appendPictureData(QByteArrayView data)
    {
        Picture &pic = picture_;
        if (pic.overflow || pic.kind == Picture::Other)
            return;
        if (pic.data.size() + data.size() > limits_.maxPictureBytes) {
            pic.overflow = true;
            pic.data.clear();
            return;
        }
        pic.data.append(data);
    }

    void finishPicture()
    {
        Picture pic = std::move(picture_);
        picture_ = Picture();
        if (state().dest != Dest::Body || (state().chr.flags & FHidden) || pic.overflow || pic.data.isEmpty())
            return;
        QByteArray format;
        if (pic.kind == Picture::Png && pic.data.startsWith("\x89PNG"))
            format = "png";
        else if (pic.kind == Picture::Jpeg && pic.data.startsWith("\xFF\xD8"))
            format = "jpeg";
        else
            return;
        QBuffer buffer(&pic.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAutoDetectImageFormat(false);
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty())
            return;
        const qint64 pixelBytes = qint64(size.width()) * size.height() * 4;
        if (pixelBytes > limits_.maxPictureBytes || pixelBytes > pictureBudget_)
            return;
        pictureBudget_ -= pixelBytes;

        double width = pic.wGoal > 0 ? double(pic.wGoal) / kTwipsPerPixel : size.width();
        double height = pic.hGoal > 0 ? double(pic.hGoal) / kTwipsPerPixel : size.height();
        width = std::clamp(width * pic.scaleX / 100.0, 1.0, 32000.0);
        height = std::clamp(height * pic.scaleY / 100.0, 1.0, 32000.0);

        const QString name = QStringLiteral("tvx-rtf-image-%1").arg(++imageCount_);
        // kept encoded: the document decodes a picture when it is first drawn,
        // so a long manual opens without decoding every screenshot
        document_.addResource(QTextDocument::ImageResource, QUrl(name), pic.data);
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(width);
        f.setHeight(height);
        if (textBudget_ <= 0)
            return;
        --textBudget_;
        flushRun();
        paragraph_.runs.push_back(Run{f, QString()});
    }

    // -- paragraphs and tables ----------------------------------------------

    Paragraph takeParagraph()
    {
        flushBytes();
        flushRun();
        const State &s = state();
        Paragraph done{blockFormat(s.para), charFormat(s.chr), std::move(paragraph_.runs)};
        paragraph_.runs.clear();
        return done;
    }

    void endParagraph()
    {
        if (textBudget_ <= 0 && !paragraphHasContent())
            return;
        --textBudget_;
        Paragraph done = takeParagraph();
        if (state().para.inTable || rowOpen_) {
            rowOpen_ = true;
            cell_.push_back(std::move(done));
            return;
        }
        flushTable();
        writeParagraph(cursor_, done, needBlock_);
        needBlock_ = true;
    }

    void endCell()
    {
        if (textBudget_ <= 0 && !paragraphHasContent())
            return;
        --textBudget_;
        if (paragraphHasContent() || cell_.empty())
            cell_.push_back(takeParagraph());
        rowOpen_ = true;
        if (int(row_.size()) < kMaxColumns) {
            row_.push_back(std::move(cell_));
        } else {
            Cell &last = row_.back();
            for (Paragraph &para : cell_)
                last.push_back(std::move(para));
        }
        cell_.clear();
    }

    void endRow()
    {
        if (paragraphHasContent() || !cell_.empty())
            endCell();
        if (!row_.empty()) {
            if (table_.empty())
                tableCellx_ = cellx_;
            table_.push_back(std::move(row_));
        }
        row_.clear();
        rowOpen_ = false;
    }

    void flushTable()
    {
        if (!row_.empty() || !cell_.empty())
            endRow();
        rowOpen_ = false;
        if (table_.empty())
            return;
        int columns = 1;
        for (const Row &row : table_)
            columns = std::max(columns, int(row.size()));
        QTextTableFormat format;
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setBorderCollapse(true);
        if (int(tableCellx_.size()) == columns) {
            QList<QTextLength> widths;
            int left = 0;
            for (const int x : tableCellx_) {
                widths.append(QTextLength(QTextLength::FixedLength, std::max(x - left, 15) / double(kTwipsPerPixel)));
                left = x;
            }
            format.setColumnWidthConstraints(widths);
        }
        QTextTable *table = cursor_.insertTable(int(table_.size()), columns, format);
        for (int r = 0; r < int(table_.size()); ++r) {
            Row &row = table_[size_t(r)];
            for (int c = 0; c < int(row.size()); ++c) {
                QTextCursor cellCursor = table->cellAt(r, c).firstCursorPosition();
                bool need = false;
                for (const Paragraph &para : row[size_t(c)]) {
                    writeParagraph(cellCursor, para, need);
                    need = true;
                }
            }
        }
        table_.clear();
        cursor_.movePosition(QTextCursor::End);
        needBlock_ = false;  // the block after the table takes the next paragraph
    }

    static void writeParagraph(QTextCursor &cursor, const Paragraph &para, bool newBlock)
    {
        if (newBlock) {
            cursor.insertBlock(para.block, para.charFormat);
        } else {
            cursor.setBlockFormat(para.block);
            cursor.setBlockCharFormat(para.charFormat);
        }
        for (const Run &run : para.runs) {
            if (run.format.isImageFormat())
                cursor.insertImage(run.format.toImageFormat());
            else
                cursor.insertText(run.text, run.format);
        }
    }

    void finish()
    {
        flushBytes();
        // A title cut off by the end of the file still counts; a picture
        // cut off would show as garbage.
        for (size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i].owner && stack_[i].dest == Dest::Title)
                document_.setMetaInformation(QTextDocument::DocumentTitle, title_.trimmed());
        }
        if (paragraphHasContent())
            endParagraph();
        flushTable();
    }

    const char *p_;
    const char *end_;
    QTextDocument &document_;
    QTextCursor cursor_;
    const RtfLimits &limits_;
    const int maxDepth_;
    qsizetype textBudget_;
    qint64 pictureBudget_ = qint64(limits_.maxPictureBytes) * 8;

    std::vector<State> stack_;
    int ucSkip_ = 0;

    CodePages codePages_;
    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    int fontPageCache_ = INT_MIN;
    const CodePage *fontPage_ = nullptr;
    QByteArray pending_;  // multi-byte text not yet decoded
    int pendingPage_ = 0;

    std::unordered_map<int, Font> fonts_;
    bool fontPending_ = false;
    int fontId_ = 0;
    Font font_;
    QByteArray fontName_;

    std::vector<QColor> colors_;
    int red_ = -1, green_ = -1, blue_ = -1;

    std::unordered_map<int, int> styleHeading_;
    bool stylePending_ = false;
    int styleId_ = 0;
    int styleOutline_ = -1;
    QByteArray styleName_;

    QString title_;
    QString fieldInstruction_;
    std::vector<QString> links_;

    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> formatCache_;
    QTextBlockFormat blockCache_;
    ParaProps blockCacheProps_;
    bool blockCacheValid_ = false;

    QString runText_;
    CharProps runProps_;
    bool runOpen_ = false;
    Paragraph paragraph_;
    bool needBlock_ = false;

    Picture picture_;
    int imageCount_ = 0;

    std::vector<int> cellx_;
    std::vector<int> tableCellx_;
    bool rowOpen_ = false;
    Cell cell_;
    Row row_;
    std::vector<Row> table_;
};

}  // namespace

bool readRtf(const QByteArray &rtf, QTextDocument &document, const RtfLimits &limits)
{
    document.clear();
    if (!rtf.startsWith("{\\rtf"))
        return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    Reader(rtf, document, limits).run();
    document.setUndoRedoEnabled(undo);
    return true;
}

QString rtfPlainText(const QByteArray &rtf)
{
    QTextDocument document;
    if (!readRtf(rtf, document))
        return {};
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

}  // namespace tvx::help
