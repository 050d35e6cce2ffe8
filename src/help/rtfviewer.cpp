#include "help/rtfviewer.h"

#include "common/platform.h"
#include "help/rtfreader.h"

#include <QFile>
#include <QTextDocument>
#include <QTextEdit>

namespace tvx::help {

namespace {

// far beyond any help document; a larger file is not one
constexpr qint64 kLargestRtfFile = 256LL * 1024 * 1024;

}  // namespace

QTextEdit *newRichTextViewer(QWidget *parent)
{
    auto *viewer = new QTextEdit(parent);
    viewer->setObjectName(QStringLiteral("RichTextBox1"));
    viewer->setReadOnly(true);
    viewer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    viewer->setUndoRedoEnabled(false);
    return viewer;
}

bool showRtf(QTextEdit &viewer, const QByteArray &rtf)
{
    auto *document = new QTextDocument(&viewer);
    document->setUndoRedoEnabled(false);
    if (!readRtf(rtf, *document)) {
        delete document;
        return false;
    }
    // the viewer deletes its own first document; one shown here before is ours
    QTextDocument *previous = viewer.document();
    const bool ours = previous && previous->parent() == &viewer;
    viewer.setDocument(document);
    if (ours)
        delete previous;
    return true;
}

bool showRtfFile(QTextEdit &viewer, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestRtfFile)
        return false;
    const QByteArray rtf = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return showRtf(viewer, rtf);
}

void printViewerText(QWidget *screen, const QTextEdit &viewer)
{
    if (platform().printText(screen, viewer.toPlainText()))
        return;
    reportProblem(screen, QStringLiteral("FIGYELEM!"), QStringLiteral("A nyomtató nincs készenlétben!"), MessageIcon::Critical);
}

}  // namespace tvx::help
