#include "app/MainWindow.h"
#include "platform/Downloader.h"
#include "reports/Sources.h"

#include <QFile>
#include <QTextEdit>
#include <QTimer>

bool MainWindow::DownloadPage(const QString& url, const QString& file)
{
    // A file left over from an earlier request must never pass for this one's answer.
    if (QFile::exists(file))
        QFile::remove(file);

    m_transferRunning = true;
    m_services.downloader->download(url, file);
    m_transferRunning = false;
    // A tick that fell due during the transfer runs once it has ended.
    if (m_tickDeferred) {
        m_tickDeferred = false;
        QTimer::singleShot(0, this, &MainWindow::Timer1_Timer);
    }
    return checkDownloaded(file);
}

bool MainWindow::DownloadStationPage(const QString& code, const QString& url, const QString& file)
{
    // A code that could name another folder or rewrite the address reaches neither the network nor the
    // file system; the request fails as a failed download does.
    if (!SourceAddress::IsSafeStationCode(code))
        return checkDownloaded(QString());
    return DownloadPage(url, file);
}

bool MainWindow::checkDownloaded(const QString& file)
{
    m_lastDownloadOk = !file.isEmpty() && QFile::exists(file);
    if (!m_lastDownloadOk)
        LabMetar->setPlainText(u"Connexion à internet ..."_qs);
    return m_lastDownloadOk;
}
