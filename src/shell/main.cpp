#include "hungarian.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tvx::useHungarianLocale();
    QMainWindow window;
    window.setObjectName(QStringLiteral("TarvixFormX"));
    window.setWindowTitle(QStringLiteral("Tarvix V.1.0 - 2012."));
    auto *title = new QLabel(QStringLiteral("T a r v i x  Irattári Nyilvántartás"), &window);
    title->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(title);
    window.resize(640, 480);
    window.show();
    return app.exec();
}
