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

// Servers see who asks and where to find its author.
QByteArray userAgent(const QString& site)
{
    const QByteArray product = "Ventorix/" VENTORIX_VERSION;
    QByteArray address = site.trimmed().toUtf8();
    // A line break from a hand-edited file would end the header and start another.
    address.removeIf([](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    return address.isEmpty() ? product : product + " (+" + address + ')';
}

} // namespace

RealServices::RealServices(Kind kind, const GivenSources& given, std::optional<QDateTime> fixedNow)
    : m_scratch(scratchFolder(kind))
    , m_workFolder(m_scratch ? WorkFolder(m_scratch->path()) : WorkFolder::userCache())
{
    if (kind == Kind::Desktop) {
        m_settings = std::make_unique<IniSettingsStore>();
        m_links = std::make_unique<DesktopLinkOpener>();
        m_sources = SourceAddress::InForce(given, UserSettings::sourcesIn(*m_settings));
        m_limits = UserSettings::pilotLimitsIn(*m_settings);
    } else {
        m_settings = std::make_unique<MemorySettingsStore>();
        m_links = std::make_unique<NoLinkOpener>();
        // Read only: a one-shot run writes nothing of the user's.
        const IniSettingsStore userFile;
        m_sources = SourceAddress::InForce(given, UserSettings::sourcesIn(userFile));
        m_limits = UserSettings::pilotLimitsIn(userFile);
    }
    m_downloader = std::make_unique<NetworkDownloader>(NetworkDownloader::kDefaultTimeout,
        NetworkDownloader::kDefaultMaxBytes, NetworkDownloader::kDefaultHandshakeTimeout, userAgent(m_sources.site));
    if (!fixedNow && SourceAddress::IsDemo(m_sources))
        fixedNow = SourceAddress::DemoMoment();
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
