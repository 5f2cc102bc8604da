#pragma once

#include <QString>

/// Opens an address with the user's default handler (browser, mail program).
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QString& address) = 0;
};

class DesktopLinkOpener final : public LinkOpener
{
public:
    void open(const QString& address) override;
};

/// Opens nothing: a run with no window to click has no address to open.
class NoLinkOpener final : public LinkOpener
{
public:
    void open(const QString&) override { }
};
