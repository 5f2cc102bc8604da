#pragma once

#include "platform/WorkFolder.h"
#include "reports/Sources.h"

class Clock;
class Downloader;
class LinkOpener;
class SettingsStore;

/// The platform services the window works through. main() builds the real ones; tests build fakes or
/// point the real downloader at a local server. The window does not own them.
struct Services
{
    Downloader* downloader = nullptr;
    const Clock* clock = nullptr;
    SettingsStore* settings = nullptr;
    LinkOpener* links = nullptr;
    WorkFolder workFolder;
    Sources sources;
};
