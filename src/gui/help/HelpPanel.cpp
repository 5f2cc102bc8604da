#include "help/HelpPanel.h"

#include "reports/Sources.h"
#include "services/LinkOpener.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

using namespace Controls;

namespace {

// The scheme ("http://") adds nothing for the reader and would not fit the big type. Cut by hand: a regular
// expression would be compiled at every start for this one caption.
QString withoutScheme(const QString& address)
{
    const qsizetype end = address.indexOf(u"://"_s);
    const bool scheme = end > 0
        && std::all_of(address.cbegin(), address.cbegin() + end, [](QChar c) { return c >= u'a' && c <= u'z'; });
    return scheme ? address.mid(end + 3) : address;
}

} // namespace

HelpPanel::HelpPanel(QWidget* parent, LinkOpener& links, QString siteAddress)
    : QFrame(parent)
    , m_links(links)
    , m_siteAddress(std::move(siteAddress))
{
    makePanel(this, u"helpPanel"_s, QRect(-13, -16, 791, 420));
    setBaseColour(this, 0xFFFFFF);
    hide();

    m_closeButton = place<QPushButton>(this, u"helpCloseButton"_s, QRect(628, 342, 92, 34));
    m_closeButton->setText(u"OK"_s);
    m_versionLabel = label(this, u"versionLabel"_s, QRect(474, 307, 123, 19), u"Version:"_s);
    m_versionLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(m_versionLabel, 0x0000C0);

    const std::array<QString, 6> help {
        u"Ce logiciel connaît 6 994 codes OACI, dont 4 528 rangés par pays et par ville."_s,
        u"Pour trouver un code OACI vous pouvez utiliser le module de recherche \"Ville / Pays\". Si plusieurs "
        u"aéroports existent pour une ville ils seront tous proposés."_s,
        u"Le contenu des informations aéronautiques présentées est de la responsabilité des organismes émetteurs."_s,
        u"Vous devez vérifier dans le texte que la date d'émission est bien la date du jour (en UTC)."_s,
        u"Les favoris qui s'enregistrent automatiquement peuvent se rappeler d'un clic, pour en effacer un il "
        u"suffit de cliquer du bouton droit dessus."_s,
        u"Le rafraichissement peut être commandé, il sera cependant automatique toutes les 30 minutes."_s,
    };
    const std::array<QRect, 6> helpPlaces { QRect(19, 22, 461, 17), QRect(19, 39, 461, 47), QRect(19, 81, 333, 47),
        QRect(19, 124, 278, 47), QRect(19, 158, 333, 47), QRect(19, 192, 333, 47) };
    for (size_t i = 0; i < help.size(); ++i) {
        m_helpTexts[i] = label(this, u"helpText%1"_s.arg(i), helpPlaces[i], help[i]);
        m_helpTexts[i]->setWordWrap(true);
        // The rectangles were sized for a narrower face: slightly condensed type keeps each text on the
        // lines it has room for.
        QFont condensed = m_helpTexts[i]->font();
        condensed.setStretch(QFont::SemiCondensed);
        m_helpTexts[i]->setFont(condensed);
    }

    m_shortcutsText = label(this, u"shortcutsText"_s, QRect(19, 286, 321, 46),
        u"Raccourcis : F5 rafraîchir, Ctrl+C copier, Ctrl+A tout sélectionner, Ctrl+S enregistrer, Ctrl+P "
        u"imprimer, Ctrl+Maj+S PDF, Ctrl+F chercher (NOTAM), Échap fermer, Ctrl+Q quitter. Clic droit sur le "
        u"bulletin : mêmes commandes."_s);
    m_shortcutsText->setWordWrap(true);
    QFont condensed = m_shortcutsText->font();
    condensed.setStretch(QFont::SemiCondensed);
    m_shortcutsText->setFont(condensed);

    m_contactLink = label(this, u"contactLink"_s, QRect(12, 334, 273, 24), u"Contacter l'Auteur (Quelmar)"_s);
    m_contactLink->setFont(sansFont(9.75, true, true));
    m_siteLink
        = label(this, u"siteLink"_s, QRect(35, 245, 335, 76), withoutScheme(SourceAddress::forDisplay(m_siteAddress)));
    m_siteLink->setFont(sansFont(24, true, true));
    m_siteLink->setWordWrap(true);
    for (QLabel* link : { m_siteLink, m_contactLink }) {
        link->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setTextColour(link, 0x0000FF);
    }
    m_helpPicture = place<QLabel>(this, u"helpPicture"_s, QRect(340, 15, 383, 332));
    m_helpPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    stack({ m_closeButton, m_versionLabel, m_shortcutsText, m_helpTexts[5], m_helpTexts[4], m_contactLink, m_siteLink,
        m_helpTexts[3], m_helpTexts[2], m_helpTexts[1], m_helpTexts[0], m_helpPicture });

    connect(m_closeButton, &QPushButton::clicked, this, &HelpPanel::dismiss);
    connect(shortcut(this, u"helpCloseShortcut"_s, QKeySequence(Qt::Key_Escape)), &QAction::triggered, this,
        &HelpPanel::dismiss);
    // Labels and pictures have no click signal of their own.
    for (QWidget* widget : std::initializer_list<QWidget*> {
             this, m_helpPicture, m_siteLink, m_contactLink, m_versionLabel, m_shortcutsText })
        widget->installEventFilter(this);
    for (QLabel* text : m_helpTexts)
        text->installEventFilter(this);
}

void HelpPanel::open()
{
    // Most runs never open the help: the window does not wait for its picture and its links' pointer.
    if (m_helpPicture->pixmap().isNull()) {
        m_helpPicture->setPixmap(Artwork::helpPicture());
        const QCursor linkPointer = Artwork::linkPointer();
        m_siteLink->setCursor(linkPointer);
        m_contactLink->setCursor(linkPointer);
    }
    if (isHidden())
        m_focusBeforeOpening = QApplication::focusWidget();
    show();
    raise();
    m_closeButton->setFocus();
    Q_EMIT openChanged(true);
}

void HelpPanel::dismiss()
{
    const bool wasOpen = !isHidden();
    hide();
    Q_EMIT openChanged(false);
    // Told first, the window has enabled what the panel covered: the keyboard can go back there.
    if (wasOpen && m_focusBeforeOpening && m_focusBeforeOpening->isVisible() && m_focusBeforeOpening->isEnabled())
        m_focusBeforeOpening->setFocus(Qt::OtherFocusReason);
}

void HelpPanel::showVersion(const QString& version)
{
    m_versionLabel->setText(u"Version:"_s + version);
}

void HelpPanel::openSite()
{
    m_links.open(m_siteAddress);
}

void HelpPanel::contactAuthor()
{
    m_links.open(SourceAddress::contact(m_siteAddress, m_versionLabel->text()));
}

bool HelpPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // The version label is no link and no part of the panel's background: its clicks do nothing.
    if (watched == m_versionLabel)
        return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
    if (type != QEvent::MouseButtonRelease || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QFrame::eventFilter(watched, event);
    if (watched == m_siteLink)
        openSite();
    else if (watched == m_contactLink)
        contactAuthor();
    else
        dismiss();
    return true;
}
