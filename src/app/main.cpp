#include "BuildConfig.h"
#include "CommandLine.h"
#include "DossierMode.h"
#include "MainWindow.h"
#include "ProcessStart.h"
#include "ReportMode.h"
#include "StationQueryMode.h"
#include "services/LinkOpener.h"
#include "ui/FocusFrameStyle.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcessEnvironment>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int signalPipe[2] = { -1, -1 };

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void printTo(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// SIGTERM and SIGINT close the window like its close box, so the favourites and the type are saved.
void closeOnTerminationSignals(MainWindow& window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        window.close();
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Qt's own dialogs and menu entries (file and print dialogs, message box buttons) speak French whatever the
// system's language. Without the catalogue (qt6-translations-l10n) they stay in English and all else works.
void speakFrenchInQtDialogs(QTranslator& translator)
{
    if (translator.load(u"qtbase_fr"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

} // namespace

int main(int argc, char* argv[])
{
    // The window's class, the cache folder and the desktop entry all go by these names, whatever the
    // program file is called.
    QCoreApplication::setApplicationName(u"Ventorix"_s);
    QGuiApplication::setDesktopFileName(u"fr.ventorix.Ventorix"_s);
    ProcessStart::interpretRegularExpressions();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString program = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() : u"Ventorix"_s;
    const CommandLine line = CommandLine::parse(arguments, QProcessEnvironment::systemEnvironment().toStringList());

    if (!line.error.isEmpty()) {
        printTo(stderr, program + u" : "_s + line.error + u"\n"_s + u"Essayez « %1 --help »."_s.arg(program) + u'\n');
        return 2;
    }
    if (line.help) {
        printTo(stdout, CommandLine::usage(program));
        return 0;
    }
    if (line.version) {
        printTo(stdout, u"Ventorix "_s + QStringLiteral(VENTORIX_VERSION) + u'\n');
        return 0;
    }

    if (line.stationQuery) {
        QCoreApplication application(argc, argv);
        return StationQueryMode::run(*line.stationQuery);
    }
    if (line.report || line.dossier) {
        const auto run = line.report ? ReportMode::run : DossierMode::run;
        // JSON and text need no more than the event loop the downloads run in.
        if (!ReportMode::needsGui(line.report ? line.report->format : line.dossier->format)) {
            QCoreApplication application(argc, argv);
            return run(line);
        }
        // The briefing needs fonts and pages, never a window, so it needs no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        return run(line);
    }

    QApplication application(argc, argv);
    application.setStyle(new FocusFrameStyle);
    QTranslator qtFrench;
    speakFrenchInQtDialogs(qtFrench);
    const RealServices services(
        RealServices::Kind::Desktop, line.sources, std::nullopt, std::make_unique<DesktopLinkOpener>());
    MainWindow window(services.services());
    closeOnTerminationSignals(window);
    // A desktop session that logs out may end the program without closing the window first; the user may
    // also cancel the logout, so the program saves and keeps running.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager&) { window.saveSettings(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, &MainWindow::unload);
    window.start();
    // Ended during start-up (signal, "Quitter" or close box while the first report was on its way): exit()
    // and the last-window quit do nothing before the event loop runs, so it would never end.
    if (!window.isVisible())
        return 0;
    // For the start-up benchmark: end as soon as the first report has been painted.
    if (qEnvironmentVariableIsSet("VENTORIX_EXIT_AFTER_FIRST_REPORT")) {
        window.repaint();
        return window.lastDownloadSucceeded() ? 0 : 1;
    }
    return application.exec();
}
