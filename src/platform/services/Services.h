#pragma once

#include "reports/PilotFacts.h"
#include "reports/Sources.h"
#include "services/LinkOpener.h"
#include "storage/WorkFolder.h"

#include <QDateTime>

#include <memory>
#include <optional>

class Clock;
class Downloader;

class SettingsStore;
class QTemporaryDir;

/// The platform services the window works through. The program builds the real ones with RealServices;
/// tests build fakes or point the real downloader at a local server. The window does not own them.
struct Services
{
    Downloader* downloader = nullptr;
    const Clock* clock = nullptr;
    SettingsStore* settings = nullptr;
    LinkOpener* links = nullptr;
    WorkFolder workFolder;
    Sources sources;
    PilotLimits limits; ///< the colours' limits of the settings file's group "briefing", read once
};

/// The real services, built and owned together. A desktop session keeps the user's settings file and work
/// folder; a one-shot run (the report mode, the benches) keeps its settings in memory, works in a temporary
/// folder removed with this object, opens no address and may read a clock stopped at @p fixedNow. Both
/// take the addresses @p given to the run, else those of the settings file's group "sources" (which they
/// only read), else the built-in ones; a demonstration reads a clock stopped at the samples' moment.
/// Addresses are opened through @p links, or nowhere without one: the desktop passes its own, so that a
/// program without a window does not even load the graphical library the desktop's opener needs.
class RealServices final
{
public:
    enum class Kind { Desktop, OneShot };

    RealServices(Kind kind, const GivenSources& given, std::optional<QDateTime> fixedNow = std::nullopt,
        std::unique_ptr<LinkOpener> links = nullptr);
    ~RealServices();
    Q_DISABLE_COPY_MOVE(RealServices)

    /// False when the work folder could not be made.
    bool isReady() const;
    Services services() const;

private:
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<Downloader> m_downloader;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<LinkOpener> m_links;
    WorkFolder m_workFolder;
    Sources m_sources;
    PilotLimits m_limits;
};
