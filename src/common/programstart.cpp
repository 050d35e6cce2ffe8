#include "common/programstart.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <QRegularExpression>
#include <windows.h>
#include <shellapi.h>
#else
#include <QProcess>
#include <QStandardPaths>
#endif

namespace tvx {

namespace {

bool isAddress(const QString &text) { return text.contains(QStringLiteral("://")); }

#ifdef Q_OS_WIN
// One argument of a Windows command line, quoted as the C runtime splits it again.
QString quotedArgument(const QString &argument)
{
    if (!argument.isEmpty() && !argument.contains(QRegularExpression(QStringLiteral("[\\s\"]"))))
        return argument;
    QString quoted = QStringLiteral("\"");
    int backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"')
            quoted += QString(backslashes * 2 + 1, u'\\');
        else
            quoted += QString(backslashes, u'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted += QString(backslashes * 2, u'\\') + u'"';
    return quoted;
}
#endif

}  // namespace

bool openWithDesktop(const QString &pathOrUrl)
{
    const QUrl url = isAddress(pathOrUrl) ? QUrl(pathOrUrl) : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

#ifdef Q_OS_WIN

bool startProgramDetached(const QString &program, const QStringList &arguments, const QString &workingFolder)
{
    if (isAddress(program))
        return openWithDesktop(program);
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << quotedArgument(argument);
    const std::wstring file = QDir::toNativeSeparators(program).toStdWString();
    const std::wstring parameters = quoted.join(u' ').toStdWString();
    const std::wstring folder = QDir::toNativeSeparators(workingFolder).toStdWString();
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                                           folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    // the shell's convention: above 32 is success
    return reinterpret_cast<INT_PTR>(result) > 32;
}

#else

bool startProgramDetached(const QString &program, const QStringList &arguments, const QString &workingFolder)
{
    if (isAddress(program))
        return openWithDesktop(program);
    const bool hasFolder = !workingFolder.isEmpty() && QFileInfo(workingFolder).isDir();
    QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty() && hasFolder)
        executable = QStandardPaths::findExecutable(program, {workingFolder});
    if (executable.isEmpty()) {
        const QFileInfo file(program);
        if (file.isFile() && !file.isExecutable())
            return openWithDesktop(file.absoluteFilePath());
        if (file.isFile())
            executable = file.absoluteFilePath();
        else
            return false;
    }
    return QProcess::startDetached(executable, arguments, hasFolder ? workingFolder : QString());
}

#endif

}  // namespace tvx
