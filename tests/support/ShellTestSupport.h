#pragma once

// What the window tests of the favourites bar, start-up, panels and refresh share: the bar as a list of
// twelve captions, settings given as "section/key=value" lines, and a downloader that lets a test look
// at the window the moment a transfer starts.

#include "favourites/FavouritesBar.h"
#include "network/Downloader.h"
#include "support/WindowFixture.h"

#include <functional>

using namespace Qt::StringLiterals;

class DownloadSpy final : public Downloader
{
public:
    explicit DownloadSpy(Downloader& real)
        : m_real(real)
    {
    }
    DownloadResult download(const QString& url, const QString& file) override
    {
        if (onDownload)
            onDownload(url);
        return m_real.download(url, file);
    }
    void removeCachedCopy(const QString& url) override { m_real.removeCachedCopy(url); }

    std::function<void(const QString& url)> onDownload;

private:
    Downloader& m_real;
};

namespace Shell {

inline QStringList bar(QStringList codes)
{
    while (codes.size() < 12)
        codes.append(QString());
    return codes;
}

inline QStringList captions(const MainWindow& w)
{
    return part<FavouritesBar>(w).favourites();
}

inline void store(SettingsStore& settings, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString key = entry.section(u'=', 0, 0);
        settings.write(key.section(u'/', 0, 0), key.section(u'/', 1), entry.section(u'=', 1));
    }
}

/// Loads the window on @p entries, the METARs of LFPG and EGLL served.
inline MainWindow& start(WindowFixture& f, const QStringList& entries = {})
{
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    f.serveMetar(u"EGLL"_s, readFixture(u"metar/EGLL.TXT"_s));
    store(f.settings, entries);
    f.window().start();
    // The window shows as start() ends; the program's event loop then maps it before any input comes.
    if (!QTest::qWaitForWindowExposed(&f.window()))
        QTest::qFail("the window was never exposed", __FILE__, __LINE__);
    return f.window();
}

/// Loads the window on a bar of @p codes. The stored last code is no code at all, so the first report
/// fails before any download and adds nothing: the bar is exactly what was stored.
inline MainWindow& startOnBar(WindowFixture& f, const QStringList& codes)
{
    QStringList entries { u"data/last=-"_s };
    for (int i = 0; i < codes.size(); ++i)
        entries.append(u"Fav/%1=%2"_s.arg(i).arg(codes[i]));
    return start(f, entries);
}

} // namespace Shell
