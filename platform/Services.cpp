#include "platform/Services.h"

#include "platform/Clock.h"
#include "platform/LinkOpener.h"
#include "platform/NetworkDownloader.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>

namespace {

std::unique_ptr<QTemporaryDir> scratchFolder(RealServices::Kind kind)
{
    return kind == RealServices::Kind::OneShot ? std::make_unique<QTemporaryDir>() : nullptr;
}

} // namespace

RealServices::RealServices(Kind kind, Sources sources, std::optional<QDateTime> fixedNow)
    : m_scratch(scratchFolder(kind))
    , m_downloader(std::make_unique<NetworkDownloader>())
    , m_workFolder(m_scratch ? WorkFolder(m_scratch->path()) : WorkFolder::userCache())
    , m_sources(std::move(sources))
{
    if (fixedNow)
        m_clock = std::make_unique<FixedClock>(*fixedNow);
    else
        m_clock = std::make_unique<SystemClock>();
    if (kind == Kind::Desktop) {
        m_settings = std::make_unique<IniSettingsStore>();
        m_links = std::make_unique<DesktopLinkOpener>();
    } else {
        m_settings = std::make_unique<MemorySettingsStore>();
        m_links = std::make_unique<NoLinkOpener>();
    }
}

RealServices::~RealServices() = default;

bool RealServices::isReady() const
{
    return !m_scratch || m_scratch->isValid();
}

Services RealServices::services() const
{
    return Services{m_downloader.get(), m_clock.get(), m_settings.get(), m_links.get(), m_workFolder, m_sources};
}
