#include "maintenance/form1.h"

#include "maintenance/messages.h"
#include "common/platform.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace tvx::maintenance {

namespace {

// The window is drawn in twips, 15 to a pixel at the usual 96 dots per inch.
int px(int twips) { return (twips + 7) / 15; }
QRect twipRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

}  // namespace

void nameApplication() { QCoreApplication::setApplicationName(kProgramName); }

bool isUnattended(const QString &commandLine) { return commandLine.toLower() == u"/s"; }

Form1::Form1(const QDir &workingDirectory, const QDir &templateDirectory, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      workingDirectory_(workingDirectory),
      templateDirectory_(templateDirectory)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kWindowTitle);
    setFixedSize(px(6375), px(2415));
    // the captions are sized for a small dialog font
    QFont dialogFont = font();
    dialogFont.setPointSizeF(8);
    setFont(dialogFont);

    auto label = [this](const char *name, const QRect &geometry) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        return l;
    };
    auto bar = [this](const char *name, const QRect &geometry) {
        auto *b = new QProgressBar(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setTextVisible(false);
        b->setRange(0, 1);
        b->setValue(0);
        return b;
    };
    auto button = [this](const char *name, const QString &text, const QRect &geometry) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        return b;
    };

    l1_ = label("l1", twipRect(0, 0, 6375, 255));
    pb1_ = bar("pb1", twipRect(0, 360, 6375, 375));
    l2_ = label("l2", twipRect(0, 840, 6375, 255));
    pb2_ = bar("pb2", twipRect(0, 1200, 6375, 375));
    command1_ = button("Command1", QStringLiteral("&Szerver"), twipRect(120, 1680, 975, 615));
    label1_ = label("Label1", twipRect(2280, 1680, 2895, 255));
    command2_ = button("Command2", QStringLiteral("Kilép - ESC"), twipRect(5280, 1680, 975, 615));
    label2_ = label("Label2", twipRect(1680, 1920, 2925, 195));

    command1_->setDefault(true);
    label2_->setText(QStringLiteral("V.1.0 Tarvfix01 - ") + kVendorPage);
    label2_->setToolTip(QStringLiteral("Rákattintva Weblap"));
    label2_->setCursor(Qt::PointingHandCursor);
    label2_->setAlignment(Qt::AlignCenter);
    QFont small = label2_->font();
    small.setPointSizeF(6.5);
    label2_->setFont(small);
    label2_->installEventFilter(this);
    label1_->setAlignment(Qt::AlignCenter);

    connect(command1_, &QPushButton::clicked, this, &Form1::runServer);
    connect(command2_, &QPushButton::clicked, this, &Form1::close);
}

bool Form1::start(const QString &commandLine)
{
    show();
    activateWindow();  // Enter and Esc reach it without a click first
    if (!isUnattended(commandLine))
        return true;
    runServer();
    close();
    return false;
}

void Form1::runServer()
{
    if (busy_)
        return;
    Rebuild rebuild(workingDirectory_, templateDirectory_, *this, this);
    rebuild.run();
}

void Form1::openVendorPage()
{
    // The desktop's own browser first, then one by name; the result of a start is not checked further.
    if (platform().openDocument(kVendorPage))
        return;
    platform().beep();
    if (platform().startProgram(QStringLiteral("firefox"), {kVendorPage}))
        return;
    platform().beep();
}

void Form1::reject()
{
    if (!busy_)
        QDialog::reject();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == label2_ && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && label2_->rect().contains(mouse->position().toPoint())) {
            openVendorPage();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form1::setRunning(bool running)
{
    busy_ = running;
    command1_->setEnabled(!running);
    command2_->setEnabled(!running);
}

void Form1::setFileLine(const QString &text) { l1_->setText(text); }

void Form1::setTableLine(const QString &text) { l2_->setText(text); }

void Form1::setStatusText(const QString &text) { label1_->setText(text); }

void Form1::setFileProgress(int value, int maximum)
{
    pb1_->setRange(0, qMax(maximum, 1));
    pb1_->setValue(value);
}

void Form1::setTableProgress(int value, int maximum)
{
    pb2_->setRange(0, qMax(maximum, 1));
    pb2_->setValue(value);
}

void Form1::letWindowUpdate() { platform().processEvents(); }

}  // namespace tvx::maintenance
