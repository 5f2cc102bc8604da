#include "services/Services.h"

#include "BuildConfig.h"
#include "network/NetworkDownloader.h"
#include "services/Clock.h"
#include "services/LinkOpener.h"
#include "storage/SettingsStore.h"
#include "storage/UserSettings.h"

#include <QTemporaryDir>

namespace {

std::unique_ptr<QTemporaryDir> scratchFolder(RealServices::Kind kind)
{
    return kind == RealServices::Kind::OneShot ? std::make_unique<QTemporaryDir>() : nullptr;
}

// Servers see who asks and where to find its author: a plain web address of reasonable length, without
// the user name and password it may hold. Anything else would break or bloat every request, or leak.
QByteArray userAgent(const QString& site)
{
    constexpr qsizetype kLongestSite = 200;
    const QByteArray product = "Ventorix/" VENTORIX_VERSION;
    const QString address = SourceAddress::forDisplay(site.trimmed());
    const bool web
        = address.startsWith(u"http://", Qt::CaseInsensitive) || address.startsWith(u"https://", Qt::CaseInsensitive);
    if (!web || address.size() > kLongestSite || !SourceAddress::isValidBase(address))
        return product;
    // Checked as an address, it holds no line break that would end the header and start another.
    return product + " (+" + address.toUtf8() + ')';
}

} // namespace

RealServices::RealServices(
    Kind kind, const GivenSources& given, std::optional<QDateTime> fixedNow, std::unique_ptr<LinkOpener> links)
    : m_scratch(scratchFolder(kind))
    , m_links(links ? std::move(links) : std::make_unique<NoLinkOpener>())
    , m_workFolder(m_scratch ? WorkFolder(m_scratch->path()) : WorkFolder::userCache())
{
    if (kind == Kind::Desktop) {
        auto userFile = std::make_unique<IniSettingsStore>();
        m_sources = SourceAddress::inForce(given, UserSettings::sourcesIn(*userFile));
        m_limits = UserSettings::pilotLimitsIn(*userFile);
        // The samples' stations are no choice of the user's: a demonstration keeps its favourites and last
        // code in memory and leaves the file as it found it.
        if (SourceAddress::isDemo(m_sources))
            m_settings = std::make_unique<MemorySettingsStore>();
        else
            m_settings = std::move(userFile);
    } else {
        m_settings = std::make_unique<MemorySettingsStore>();
        // Read only: a one-shot run writes nothing of the user's.
        const IniSettingsStore userFile;
        m_sources = SourceAddress::inForce(given, UserSettings::sourcesIn(userFile));
        m_limits = UserSettings::pilotLimitsIn(userFile);
    }
    auto downloader = std::make_unique<NetworkDownloader>(NetworkDownloader::kDefaultTimeout,
        NetworkDownloader::kDefaultMaxBytes, NetworkDownloader::kDefaultHandshakeTimeout, userAgent(m_sources.site));
    downloader->serveSamples(given.demo);
    m_downloader = std::move(downloader);
    if (!fixedNow && SourceAddress::isDemo(m_sources))
        fixedNow = SourceAddress::demoMoment();
    if (fixedNow)
        m_clock = std::make_unique<FixedClock>(*fixedNow);
    else
        m_clock = std::make_unique<SystemClock>();
}

RealServices::~RealServices() = default;

bool RealServices::isReady() const
{
    return !m_scratch || m_scratch->isValid();
}

Services RealServices::services() const
{
    return Services { m_downloader.get(), m_clock.get(), m_settings.get(), m_links.get(), m_workFolder, m_sources,
        m_limits };
}
