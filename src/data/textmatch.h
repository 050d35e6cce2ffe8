#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tvx::data {

// Text compared the way the find syntax and the statements compare it: letter
// case ignored for every letter, accents kept (a ≠ á, á = Á).
void foldUtf8(std::string_view utf8, std::u32string &out);
std::u32string foldText(const QString &text);
bool equalIgnoringCase(std::string_view a, std::string_view b);

// A `like` pattern: * any run, ? one character, # one digit, [abc], [a-z] and
// [!abc] one character of (or not of) a list. Without wildcards the pattern
// must match the whole value. Ranges follow the Hungarian alphabet with letter
// case ignored: [a-z] holds á, ö and ű too, [a-a] holds a and A but not á.
class LikePattern {
public:
    // nullopt when the pattern is malformed (an unclosed [ list)
    static std::optional<LikePattern> compile(const QString &pattern);
    bool matches(std::u32string_view foldedValue) const;
    bool matchesUtf8(std::string_view value) const;
    bool matches(const QString &value) const;
    // The same pattern as an anchored regular expression in PostgreSQL's
    // advanced syntax, to be matched with letter case ignored (~*): ranges
    // are written out as the characters the Hungarian alphabet places
    // between their ends, every other character stands for itself.
    QString regex() const;
    // The text a pattern without wildcards, digits or lists stands for,
    // written as the pattern gave it ("SZ[*]1" stands for "SZ*1"); nullopt
    // for any other pattern.
    std::optional<QString> literal() const;

private:
    struct Token {
        enum Kind { Literal, AnyRun, AnyOne, Digit, Set } kind = Literal;
        char32_t ch = 0;
        char32_t written = 0;  // a literal character as the pattern wrote it, unfolded
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;  // a single character is a range of one
        // a list's answers, worked out once per character (ranges ask the collator)
        mutable std::shared_ptr<std::unordered_map<char32_t, bool>> seen;
        bool accepts(char32_t c) const
        {
            switch (kind) {
            case Literal: return c == ch;
            case Digit: return c >= '0' && c <= '9';
            case Set: return inSet(c);
            default: return true;  // AnyOne, AnyRun
            }
        }
        bool inSet(char32_t c) const;
    };
    std::vector<Token> tokens_;
};

}  // namespace tvx::data
