#include "favourites/StationTip.h"

#include "ui/Controls.h"
#include "ui/Twips.h"

#include <QLabel>

using namespace Qt::StringLiterals;

using namespace Controls;

StationTip::StationTip(QWidget* parent)
    : QFrame(parent)
{
    using Twips::rect;
    makePanel(this, u"stationTip"_s, rect(930, 2565, 5055, 510));
    hide();
    m_text = label(this, u"stationTipText"_s, rect(0, 105, 5025, 315), QString());
    m_text->setFont(sansFont(9.75, true));
    m_text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_background = rectangle(this, u"stationTipBackground"_s, rect(0, 0, 5055, 515), Twips::rgb(0xFFFFC0));
    stack({ m_text, m_background });
}

void StationTip::showDescription(const QString& description)
{
    m_text->setText(description);
    show();
}

void StationTip::showDescriptionAt(int top, const QString& description)
{
    move(x(), top);
    showDescription(description);
}
