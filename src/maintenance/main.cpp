#include "hungarian.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tvx::useHungarianLocale();
    QMainWindow window;
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowTitle(QStringLiteral("TARVFIX - Adatbázis frissítése/javítása- Tarvix"));
    window.resize(430, 180);
    window.show();
    return app.exec();
}
