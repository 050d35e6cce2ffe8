#pragma once

// The help documents and the user manual are written as Markdown beside their
// screenshots and turned into RTF at build time, so they follow the screens.
// The RTF is code page 1250 (\ansicpg1250): each character beyond ASCII is
// \uN followed by its code page byte \'hh (or ? outside the page), so that
// readers that ignore \ansicpg still get it right. It opens in common word
// processors.
//
// The Markdown understood (one construct per block, blocks between empty lines):
//   # / ## / ### heading
//   paragraph text, with **bold**, *italic*, `program text` and a line break
//     by a line ending in two spaces or a backslash
//   - bullet item  /  1. numbered item  (one level)
//   | table | rows |  with a |---| line after the header row
//   ![caption](kepek/file.png)  a picture on its own line (PNG or JPEG)
//   > note  (a boxed notice paragraph)

#include <QByteArray>
#include <QString>

namespace tvx::help {

struct RtfDocumentSource {
    QString markdown;
    QString imageFolder;  // where the pictures' relative paths start
    QString title;        // the document's \info title; empty: the first heading
};

// The RTF of the document; `error` names a picture that could not be read.
QByteArray markdownToRtf(const RtfDocumentSource &source, QString *error = nullptr);

}  // namespace tvx::help
