#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest/QTest>

/// What one run of the program gave.
struct ProgramRun
{
    int exitCode = -1; ///< -1 when it did not end in time
    QByteArray out;
    QByteArray err;
};

/// Runs @p program with @p arguments headless, in UTC, with @p configHome as configuration home (never the
/// user's) and a private runtime folder (@p runtimeFolder; the graphical library warns without one), and
/// serves this process's event loop meanwhile, so that a test server living here answers it.
inline ProgramRun runProgram(
    const QString& program, const QStringList& arguments, const QString& configHome, const QString& runtimeFolder)
{
    using namespace Qt::StringLiterals;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"TZ"_s, u"UTC"_s); // --now is a local time
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeFolder);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        qWarning("%s did not end in time", qPrintable(program));
        return ProgramRun {};
    }
    return ProgramRun { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}
