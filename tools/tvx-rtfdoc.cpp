// Turns one help document or the user manual from Markdown into RTF.
//   tvx-rtfdoc INPUT.md IMAGE_FOLDER OUTPUT.rtf [TITLE]
// A document that cannot be read, a picture that cannot be embedded or an
// output that cannot be written fails the build step.

#include "help/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream err(stderr);
    if (argc < 4 || argc > 5) {
        err << "Használat: tvx-rtfdoc BEMENET.md KÉPMAPPA KIMENET.rtf [CÍM]\n";
        return 2;
    }
    // The build passes UTF-8 whatever the locale of the build machine.
    const QString input = QString::fromUtf8(argv[1]);
    const QString output = QString::fromUtf8(argv[3]);

    QFile in(input);
    if (!in.open(QIODevice::ReadOnly)) {
        err << "A dokumentum nem olvasható: " << input << " (" << in.errorString() << ")\n";
        return 1;
    }
    tvx::help::RtfDocumentSource source;
    source.markdown = QString::fromUtf8(in.readAll());
    source.imageFolder = QString::fromUtf8(argv[2]);
    if (argc == 5)
        source.title = QString::fromUtf8(argv[4]);

    QString error;
    const QByteArray rtf = tvx::help::markdownToRtf(source, &error);
    if (!error.isEmpty()) {
        err << input << ": " << error << "\n";
        return 1;
    }

    QDir().mkpath(QFileInfo(output).absolutePath());
    // Written whole or not at all, so a failed step leaves no half document.
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) || out.write(rtf) != rtf.size() || !out.commit()) {
        err << "Az RTF nem írható: " << output << " (" << out.errorString() << ")\n";
        return 1;
    }
    return 0;
}
