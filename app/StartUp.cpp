// Start-up restores what the last run left; shut-down saves it. The save runs however the program is
// asked to end normally, and only once.
#include "ui/Artwork.h"
#include "app/MainWindow.h"
#include "ui/Twips.h"
#include "platform/SettingsStore.h"
#include "favourites/SettingsValues.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kData = u"data"_qs;
const QString kFav = u"Fav"_qs;

QString versionCaption()
{
    return u"Version:%1.%2.%3"_qs.arg(VENTORIX_VERSION_MAJOR).arg(VENTORIX_VERSION_MINOR).arg(VENTORIX_VERSION_PATCH);
}

} // namespace

void MainWindow::Form_Load()
{
    Stations::FillFromEmbeddedData(m_stationTable);
    Frame1->move(Twips::toPixels(-195), Frame1->y());

    // The favourites' pointer is the picture Image2 holds.
    const QCursor pointer(Image2->pixmap(), Artwork::kFavouritePointerHotSpot.x(), Artwork::kFavouritePointerHotSpot.y());
    for (int i = 0; i < static_cast<int>(Fav.size()); ++i) {
        Fav[i]->setText(m_services.settings->read(kFav, QString::number(i), QString()));
        Fav[i]->setCursor(pointer);
        if (!Fav[i]->text().isEmpty()) {
            Fav[i]->show();
            TagueFav(i);
        }
    }

    show();
    letEventsRun();
    // Closed while it was being painted: nothing is left to start, and no report is requested.
    if (m_unloaded)
        return;
    Label7->setText(versionCaption());
    const QString info = m_services.settings->read(kData, u"Info"_qs, u"0"_qs);
    Label2->setText(m_services.settings->read(kData, u"last"_qs, u"LFPG"_qs));
    Timer1->start();
    // None of the buttons is selected yet, so this selection fires its click and requests the first report.
    Option2[SettingsValues::ReportTypeFromInfo(info)]->setChecked(true);
}

void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    saveSettings();
}

void MainWindow::saveSettings()
{
    for (int i = 0; i < static_cast<int>(Fav.size()); ++i)
        m_services.settings->write(kFav, QString::number(i), Fav[i]->text());
    for (int i = 0; i < static_cast<int>(Option2.size()); ++i) {
        if (Option2[i]->isChecked())
            m_services.settings->write(kData, u"Info"_qs, QString::number(i));
    }
    m_services.settings->flush();
}

void MainWindow::Command2_Click()
{
    // Only the program's own work folder is emptied: no file of the user's lives there.
    m_services.workFolder.removeWorkFiles();
    Form_Unload();
    hide();
    QCoreApplication::exit(0);
}
