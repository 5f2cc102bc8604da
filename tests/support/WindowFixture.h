#pragma once

// A real window wired to test services: the real downloader pointed at a local server, a fixed clock,
// settings in memory, a recording link opener and a temporary work folder.

#include "MainWindow.h"
#include "network/NetworkDownloader.h"
#include "services/Clock.h"
#include "services/LinkOpener.h"
#include "storage/SettingsStore.h"
#include "storage/UserSettings.h"
#include "support/TestHttpServer.h"
#include "support/WindowControls.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

class RecordingLinkOpener final : public LinkOpener
{
public:
    void open(const QString& address) override { opened.append(address); }
    QStringList opened;
};

struct WindowFixture
{
    explicit WindowFixture(QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(9, 0)))
        : clock(std::move(now))
        , downloader(std::chrono::milliseconds(3000))
    {
    }

    Services services()
    {
        return Services { &downloader, &clock, &settings, &links, WorkFolder(workDir.path()),
            Sources { server.base(), server.base(), u"http://site.test"_s }, UserSettings::pilotLimitsIn(settings) };
    }

    MainWindow& window()
    {
        if (!m_window)
            m_window = std::make_unique<MainWindow>(services());
        return *m_window;
    }

    void serveMetar(const QString& code, const QByteArray& body)
    {
        server.setBody(u"/data/observations/metar/decoded/"_s + code + u".TXT"_s, body);
    }

    TestHttpServer server;
    FixedClock clock;
    NetworkDownloader downloader;
    MemorySettingsStore settings;
    RecordingLinkOpener links;
    QTemporaryDir workDir;

private:
    std::unique_ptr<MainWindow> m_window;
};

inline QByteArray readFixture(const QString& relative)
{
    QFile file(QStringLiteral(VENTORIX_TEST_DATA "/") + relative);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(relative));
    return file.readAll();
}

/// Lets the fold that a click or a tick started slide to its end; false when it never ends.
inline bool foldEnded(const MainWindow& window)
{
    if (!window.isFolding())
        return true;
    QSignalSpy ended(&window, &MainWindow::foldEnded);
    return ended.wait();
}
