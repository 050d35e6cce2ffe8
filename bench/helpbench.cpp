// The user manual window: opening it with the whole built-in manual and its
// pictures (built, shown and laid out), and reading the manual's RTF alone.

#include "benchkit.h"
#include "help/felhasznaloikezikonyvform.h"
#include "help/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bench::QuietPlatform quiet;
    tvx::setPlatform(&quiet);

    const QByteArray manual = tvx::FelhasznaloiKezikonyvForm::builtInManual();
    if (manual.isEmpty()) {
        bench::out() << "HIBA: a program nem tartalmazza a kézikönyvet" << Qt::endl;
        return 1;
    }
    const double megabytes = manual.size() / 1e6;

    const double readMs = bench::medianMs(15, [&] {
        QTextDocument document;
        tvx::help::readRtf(manual, document);
    });

    int blocks = 0;
    const double openMs = bench::medianMs(15, [&] {
        tvx::FelhasznaloiKezikonyvForm window;
        window.show();
        QApplication::processEvents();
        blocks = window.RichTextBox1->document()->blockCount();
        window.Kilepes();
    });

    // until the whole manual is laid out, as scrolling to its end needs
    const double laidOutMs = bench::medianMs(15, [&] {
        tvx::FelhasznaloiKezikonyvForm window;
        window.show();
        QApplication::processEvents();
        window.RichTextBox1->document()->documentLayout()->documentSize();
        window.Kilepes();
    });

    bench::out() << "Kézikönyv: " << QString::number(megabytes, 'f', 2) << " MB RTF, " << blocks << " bekezdés\n"
                 << "RTF beolvasás: " << QString::number(readMs, 'f', 1) << " ms, "
                 << QString::number(megabytes / (readMs / 1000.0), 'f', 1) << " MB/s\n"
                 << "Kézikönyv ablak megnyitása: " << QString::number(openMs, 'f', 1) << " ms\n"
                 << "... és a teljes kézikönyv tördelése: " << QString::number(laidOutMs, 'f', 1) << " ms" << Qt::endl;
    return 0;
}
