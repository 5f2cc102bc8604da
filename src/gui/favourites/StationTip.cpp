#include "favourites/StationTip.h"

#include "ui/Controls.h"

#include <QLabel>

using namespace Qt::StringLiterals;

using namespace Controls;

StationTip::StationTip(QWidget* parent)
    : QFrame(parent)
{
    makePanel(this, u"stationTip"_s, QRect(62, 171, 337, 34));
    hide();
    m_text = label(this, u"stationTipText"_s, QRect(0, 7, 335, 21), QString());
    m_text->setFont(sansFont(9.75, true));
    m_text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_background = rectangle(this, u"stationTipBackground"_s, QRect(0, 0, 337, 34), QColor(0xFFFFC0));
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
