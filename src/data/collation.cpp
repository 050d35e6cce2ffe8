#include "data/collation.h"

#include "data/textmatch.h"

#include <QString>

#include <unicode/ucol.h>

namespace tvx::data {

namespace {

class Collator {
public:
    Collator()
    {
        UErrorCode status = U_ZERO_ERROR;
        collator_ = ucol_open("hu_HU", &status);
        if (U_FAILURE(status) && collator_) {
            ucol_close(collator_);
            collator_ = nullptr;
        }
        if (collator_)
            ucol_setStrength(collator_, UCOL_SECONDARY);  // case ignored, accents kept
    }
    ~Collator()
    {
        if (collator_)
            ucol_close(collator_);
    }
    UCollator *get() const { return collator_; }

private:
    UCollator *collator_ = nullptr;
};

UCollator *hungarian()
{
    static Collator collator;
    return collator.get();
}

}  // namespace

int compareText(std::string_view a, std::string_view b)
{
    if (equalIgnoringCase(a, b))
        return 0;
    if (UCollator *coll = hungarian()) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r = ucol_strcollUTF8(coll, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
        if (U_SUCCESS(status) && r != UCOL_EQUAL)
            return r == UCOL_LESS ? -1 : 1;
    }
    return a < b ? -1 : 1;
}

int compareCharacters(char32_t a, char32_t b)
{
    if (a == b)
        return 0;
    const QString left = QString::fromUcs4(&a, 1), right = QString::fromUcs4(&b, 1);
    if (UCollator *coll = hungarian()) {
        const UCollationResult r = ucol_strcoll(coll, reinterpret_cast<const UChar *>(left.utf16()), int32_t(left.size()),
                                                reinterpret_cast<const UChar *>(right.utf16()), int32_t(right.size()));
        if (r != UCOL_EQUAL)
            return r == UCOL_LESS ? -1 : 1;
        return 0;
    }
    const QString l = left.toCaseFolded(), r = right.toCaseFolded();
    return l == r ? 0 : (l < r ? -1 : 1);
}

void appendSortKey(const QString &text, std::string &out)
{
    UCollator *coll = hungarian();
    if (!coll) {
        const QByteArray utf8 = text.toCaseFolded().toUtf8();
        out.append(utf8.constData(), size_t(utf8.size()));
        out.push_back('\0');
        return;
    }
    const size_t start = out.size();
    size_t room = size_t(text.size()) * 3 + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t n = ucol_getSortKey(coll, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()),
                                          reinterpret_cast<uint8_t *>(out.data() + start), int32_t(room));
        if (n <= int32_t(room)) {
            out.resize(start + size_t(n));  // the key's own closing 0 is kept
            return;
        }
        room = size_t(n);
    }
}

}  // namespace tvx::data
