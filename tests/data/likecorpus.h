#pragma once

// Hungarian words and `like` patterns on which every engine must agree with
// the layer's own matcher: accents and letter case, ranges of the Hungarian
// alphabet, and characters a regular expression gives a meaning to.

#include <QStringList>

using namespace Qt::StringLiterals;

inline QStringList likeCorpusWords()
{
    return {
        u""_s, u"a"_s, u"A"_s, u"á"_s, u"Á"_s, u"e"_s, u"é"_s, u"É"_s, u"o"_s, u"ó"_s, u"ö"_s, u"ő"_s, u"Ő"_s,
        u"u"_s, u"ú"_s, u"ü"_s, u"ű"_s, u"Ű"_s, u"i"_s, u"í"_s, u"z"_s, u"Z"_s, u"q"_s, u"7"_s, u"x"_s,
        u"alma"_s, u"Álmos"_s, u"álmos"_s, u"árvíztűrő tükörfúrógép"_s, u"ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP"_s,
        u"Őrült"_s, u"ŐRÜLT"_s, u"őrült"_s, u"orult"_s, u"csésze"_s, u"Cukor"_s, u"dzsungel"_s, u"Zsófia"_s,
        u"ügy"_s, u"Ügyirat"_s, u"ugy"_s, u"Kovács Éva"_s, u"Szőlő utca 12."_s, u"SZ-2024/15"_s, u"sz-2024/150"_s,
        u"a.b"_s, u"axb"_s, u"a+b"_s, u"aab"_s, u"(zárójel)"_s, u"zárójel"_s, u"^kalap$"_s, u"kalap"_s,
        u"back\\slash"_s, u"x|y"_s, u"{kapcsos}"_s, u"100%"_s, u"12.50"_s, u"12550"_s, u"#1"_s, u"[nyitó"_s,
        u"csillag*"_s, u"kérdő?"_s, u"mínusz-jel"_s, u"tab\tértek"_s, u"új\nsor"_s, u"sor\n"_s, u"ÿ"_s,
        u"Ærø"_s, u"ß"_s, u"ﬁnom"_s, u"Ｚ"_s, u"€ 5"_s, u"a'b\"c"_s, u"Űr"_s, u"ŰR"_s, u"ür"_s,
    };
}

inline QStringList likeCorpusPatterns()
{
    return {
        u""_s, u"*"_s, u"?"_s, u"??"_s, u"a"_s, u"A"_s, u"á"_s, u"Á*"_s, u"a*"_s, u"*ő*"_s, u"*Ő*"_s,
        u"őrült"_s, u"ŐRÜLT"_s, u"ő[rR]ült"_s, u"*Ü*"_s, u"*ű*"_s, u"űr"_s,
        u"[a-z]"_s, u"[a-z]*"_s, u"[A-Z]*"_s, u"[!a-z]*"_s, u"*[!a-z]*"_s, u"[a-c]*"_s, u"[á-é]*"_s,
        u"[a-a]"_s, u"[o-p]"_s, u"[ö-ő]"_s, u"[u-v]*"_s, u"[ő-ű]*"_s, u"[!aeiou]*"_s, u"[aáeé]*"_s,
        u"[!aáeé]"_s, u"[0-9]*"_s, u"#"_s, u"#*"_s, u"*#*"_s, u"##.##"_s, u"?lma"_s, u"*lmos"_s,
        u"SZ-*"_s, u"sz-####/##"_s, u"sz-####/###"_s, u"a.b"_s, u"a+b"_s, u"(*)"_s, u"^*$"_s,
        u"back\\slash"_s, u"*\\*"_s, u"x|y"_s, u"*|*"_s, u"{*}"_s, u"*{*"_s, u"*%"_s, u"12.50"_s,
        u"*.*"_s, u"[.]*"_s, u"[*]*"_s, u"*[?]"_s, u"[#]*"_s, u"[[]*"_s, u"[]]"_s, u"[!]*"_s,
        u"[]alma"_s, u"*[-]*"_s, u"[a-]*"_s, u"[-a]*"_s, u"[!-]*"_s, u"[\\]*"_s, u"[^]*"_s, u"[$]*"_s,
        u"[(]*"_s, u"[|]*"_s, u"[{]*"_s, u"[a-c-e]*"_s, u"[!a-zá-ű]*"_s, u"*?sor"_s, u"új?sor"_s,
        u"sor?"_s, u"tab?*"_s, u"*'*"_s, u"*\"*"_s, u"Kovács*"_s, u"kovács éva"_s, u"[x-z]"_s,
        u"[!-~]*"_s, u"*[ß]*"_s, u"æ*"_s, u"[ý-ÿ]"_s, u"csillag[*]"_s, u"KÉRDŐ[?]"_s, u"[#]1"_s, u"ﬁnom"_s,
        u"ÆRØ"_s, u"SZ-2024/15[]"_s,
    };
}
