// Builds the window's controls at their fixed places. Each region lists its controls in stacking order,
// from top to bottom, and stack() applies that order: buttons, lists, text boxes and panels above
// labels, rectangles and pictures, and within each layer an earlier row above a later one.
#include "ui/Artwork.h"
#include "app/MainWindow.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTimer>

namespace {

const QString kFace = u"Liberation Sans"_qs;

QFont sansFont(qreal points, bool bold = false, bool underline = false)
{
    QFont font(kFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

template <typename W>
W* place(QWidget* parent, const QString& name, QRect geometry)
{
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QString member(const QString& name, int index)
{
    return name + u'(' + QString::number(index) + u')';
}

// Panels are opaque: the report panel slides over the search region when it folds, and the browser lies
// over the code list.
QFrame* panel(QWidget* parent, const QString& name, QRect geometry)
{
    auto* frame = place<QFrame>(parent, name, geometry);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
    return frame;
}

// A filled rectangle drawn below the controls of its container.
QFrame* shape(QWidget* parent, const QString& name, QRect geometry, const QColor& fill)
{
    auto* frame = place<QFrame>(parent, name, geometry);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    return frame;
}

QLabel* label(QWidget* parent, const QString& name, QRect geometry, const QString& caption)
{
    auto* widget = place<QLabel>(parent, name, geometry);
    widget->setText(caption);
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget;
}

void setTextColour(QWidget* widget, quint32 rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Twips::rgb(rgb));
    palette.setColor(QPalette::Text, Twips::rgb(rgb));
    widget->setPalette(palette);
}

void setBaseColour(QWidget* widget, quint32 rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Twips::rgb(rgb));
    palette.setColor(QPalette::Window, Twips::rgb(rgb));
    palette.setColor(QPalette::Button, Twips::rgb(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void stack(std::initializer_list<QWidget*> topToBottom)
{
    const std::vector<QWidget*> order(topToBottom);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        (*it)->raise();
}

} // namespace

void MainWindow::createLeftRegion()
{
    using Twips::rect;
    Frame1 = panel(this, u"Frame1"_qs, rect(20000, -240, 11865, 6300));
    Frame3 = panel(this, u"Frame3"_qs, rect(30, 570, 3060, 4785));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_qs);
    Timer1->setInterval(10000);
    Frame2 = panel(this, u"Frame2"_qs, rect(3120, 30, 7860, 5400));

    const std::array<QString, 2> halves{u"A --> K"_qs, u"L --> Z"_qs};
    const std::array<int, 2> optionTops{1245, 1545};
    for (int i = 0; i < 2; ++i) {
        Option1[i] = place<QRadioButton>(this, member(u"Option1"_qs, i), rect(255, optionTops[i], 900, 225));
        Option1[i]->setText(halves[i]);
        setBaseColour(Option1[i], 0xFFFFFF);
    }
    Option1[0]->setChecked(true);

    List2 = place<QListWidget>(this, u"List2"_qs, rect(1455, 2250, 1335, 2955));
    setBaseColour(List2, 0xFFFFC0);
    Command1 = place<QPushButton>(this, u"Command1"_qs, rect(1425, 1695, 1335, 360));
    Command1->setText(u"Rechercher"_qs);
    Text1 = place<QLineEdit>(this, u"Text1"_qs, rect(1515, 1335, 1155, 300));
    for (int i = 0; i < 2; ++i) {
        List1[i] = place<QListWidget>(this, member(u"List1"_qs, i), rect(300, 1875, 975, 3345));
        setBaseColour(List1[i], 0xFFFFFF);
    }
    List1[1]->hide();
    Command9 = place<QPushButton>(this, u"Command9"_qs, rect(1635, 30, 1500, 510));
    Command9->setText(u"Ville / Pays"_qs);
    Command3 = place<QPushButton>(this, u"Command3"_qs, rect(135, 30, 1500, 510));
    Command3->setText(u"Aide et à Propos"_qs);

    Shape3 = shape(this, u"Shape3"_qs, rect(1335, 1140, 1515, 1005), Twips::rgb(0xFFFFC0));
    Label3 = label(this, u"Label3"_qs, rect(330, 780, 2190, 300), u"OACI"_qs);
    Label3->setFont(sansFont(12, true));
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(Label3, 0x000080);
    Shape2 = shape(this, u"Shape2"_qs, rect(105, 690, 2865, 4665), palette().color(QPalette::Window));

    stack({Frame1, Frame3, Frame2, Option1[1], Option1[0], List2, Command1, Text1, List1[0], List1[1], Command9,
        Command3, Label3, Shape3, Shape2});
    // Keyboard focus starts in the code box and follows the layout's tab order.
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, List2);
    setTabOrder(List2, Option1[0]);
    setTabOrder(Option1[0], Option1[1]);
    setTabOrder(Option1[1], List1[1]);
    setTabOrder(List1[1], List1[0]);
    setTabOrder(List1[0], Command3);
}

void MainWindow::createHelpPanel()
{
    using Twips::rect;
    Frame1->hide();
    setBaseColour(Frame1, 0xFFFFFF);

    Command4 = place<QPushButton>(Frame1, u"Command4"_qs, rect(9420, 5130, 1380, 510));
    Command4->setText(u"OK"_qs);
    Label7 = label(Frame1, u"Label7"_qs, rect(7110, 4605, 1845, 285), u"Version:"_qs);
    Label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(Label7, 0x0000C0);

    const std::array<QString, 6> help{
        u"Ce logiciel fonctionne avec les codes OACI de plus de 7000 aéroports dans le monde."_qs,
        u"Pour trouver un code OACI vous pouvez utiliser le module de recherche \"Villes / Pays\". Si plusieurs "
        u"aéroports existent pour une ville ils seront tous proposés."_qs,
        u"Le contenu des informations aéronautiques présentées est de la responsabilité des organismes émetteurs."_qs,
        u"Vous devez vérifier dans le texte que la date d'émission est bien la date du jour (en UTC)."_qs,
        u"Les favoris qui s'enregistrent automatiquement peuvent se rappeler d'un clic, pour en effacer un il "
        u"suffit de cliquer du bouton droit dessus."_qs,
        u"Le rafraichissement peut être commandé, il sera cependant automatique toutes les 30 minutes."_qs,
    };
    const std::array<QRect, 6> helpPlaces{rect(285, 330, 6915, 255), rect(285, 585, 6915, 705),
        rect(285, 1215, 4995, 705), rect(285, 1860, 4170, 705), rect(285, 2370, 4995, 705),
        rect(285, 2880, 4995, 705)};
    for (int i = 0; i < 6; ++i) {
        Label4[i] = label(Frame1, member(u"Label4"_qs, i), helpPlaces[i], help[i]);
        Label4[i]->setWordWrap(true);
        // The rectangles were sized for a narrower face: slightly condensed type keeps each text on the
        // lines it has room for.
        QFont condensed = Label4[i]->font();
        condensed.setStretch(QFont::SemiCondensed);
        Label4[i]->setFont(condensed);
    }

    Label6 = label(Frame1, u"Label6"_qs, rect(180, 5010, 4095, 360), u"Contacter l'Auteur (Quelmar)"_qs);
    Label6->setFont(sansFont(9.75, true, true));
    // The scheme adds nothing for the reader and would not fit the big type.
    QString siteCaption = m_services.sources.site;
    siteCaption.remove(QRegularExpression(u"^[a-z]+://"_qs));
    Label5 = label(Frame1, u"Label5"_qs, rect(525, 3675, 5025, 1140), siteCaption);
    Label5->setFont(sansFont(24, true, true));
    Label5->setWordWrap(true);
    for (QLabel* link : {Label5, Label6}) {
        link->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setTextColour(link, 0x0000FF);
        link->setCursor(Artwork::LinkPointer());
    }
    Image1 = place<QLabel>(Frame1, u"Image1"_qs, rect(5100, 225, 5745, 4980));
    Image1->setPixmap(Artwork::HelpPicture());
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    stack({Command4, Label7, Label4[5], Label4[4], Label6, Label5, Label4[3], Label4[2], Label4[1], Label4[0],
        Image1});
}

void MainWindow::createBrowser()
{
    using Twips::rect;
    Frame3->hide();
    Text3 = place<QPlainTextEdit>(Frame3, u"Text3"_qs, rect(2130, 1680, 975, 1545));
    Text3->hide(); // a store for the find command, never shown
    List3 = place<QListWidget>(Frame3, u"List3"_qs, rect(75, 255, 2790, 2565));
    setBaseColour(List3, 0xFFE0C0);
    List5 = place<QListWidget>(Frame3, u"List5"_qs, rect(1875, 3045, 585, 1395));
    setBaseColour(List5, 0xC0FFC0);
    List5->hide();
    List4 = place<QListWidget>(Frame3, u"List4"_qs, rect(75, 2835, 2790, 1785));
    setBaseColour(List4, 0xFFC080);
    Label8 = label(Frame3, u"Label8"_qs, rect(75, 15, 1410, 195), u"Pays / Ville"_qs);
    stack({Text3, List3, List5, List4, Label8});
}

void MainWindow::createReportPanel()
{
    using Twips::rect;
    Frame5 = panel(Frame2, u"Frame5"_qs, rect(3510, -90, 2145, 735));
    Frame5->hide();
    Command7 = place<QPushButton>(Frame5, u"Command7"_qs, rect(120, 195, 855, 405));
    Command7->setText(u"Cherche"_qs);
    Text2 = place<QLineEdit>(Frame5, u"Text2"_qs, rect(1230, 240, 825, 315));

    const std::array<QString, 3> types{u"METAR"_qs, u"TAF"_qs, u"NOTAM"_qs};
    const std::array<int, 3> typeTops{15, 233, 450};
    for (int i = 0; i < 3; ++i) {
        Option2[i] = place<QRadioButton>(Frame2, member(u"Option2"_qs, i), rect(5805, typeTops[i], 930, 225));
        Option2[i]->setText(types[i]);
    }

    Frame4 = panel(Frame2, u"Frame4"_qs, rect(930, 2565, 5055, 510));
    Frame4->hide();
    Label9 = label(Frame4, u"Label9"_qs, rect(0, 105, 5025, 315), QString());
    Label9->setFont(sansFont(9.75, true));
    Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Shape4 = shape(Frame4, u"Shape4"_qs, rect(0, 0, 5055, 515), Twips::rgb(0xFFFFC0));
    stack({Label9, Shape4});

    Command2 = place<QPushButton>(Frame2, u"Command2"_qs, rect(6810, 30, 945, 510));
    Command2->setText(u"Quitter"_qs);
    Command2->setFont(sansFont(9.75, true));
    Command5 = place<QPushButton>(Frame2, u"Command5"_qs, rect(45, 510, 705, 510));
    Command5->setIcon(QIcon(Artwork::RefreshPicture()));
    Command5->setIconSize(QSize(27, 26));
    Command5->setToolTip(u"Rafraichir"_qs);

    LabMetar = place<QTextEdit>(Frame2, u"LabMetar"_qs, rect(990, 1305, 6690, 3765));
    LabMetar->setReadOnly(true);
    LabMetar->setAcceptRichText(false);
    LabMetar->document()->setDefaultFont(sansFont(8.5));
    LabMetar->setFont(sansFont(8.5));
    LabMetar->setPlainText(u"Connexion à internet ..."_qs);

    Command6 = place<QPushButton>(Frame2, u"Command6"_qs, rect(30, 0, 1290, 510));
    Command6->setText(u"Réduire"_qs);

    Label17 = label(Frame2, u"Label17"_qs, rect(1155, 930, 6000, 330), u"Metar"_qs);
    Label17->setFont(sansFont(12, true));
    setTextColour(Label17, 0x0000C0);
    Label1 = label(Frame2, u"Label1"_qs, rect(3030, 0, 2790, 525), u"METAR Périmé"_qs);
    Label1->setFont(sansFont(18, true));
    setTextColour(Label1, 0xFF0000);
    Label1->hide();
    Label2 = label(Frame2, u"Label2"_qs, rect(1530, 0, 1335, 525), u"LFPG"_qs);
    Label2->setFont(sansFont(18, true));
    setTextColour(Label2, 0x0000C0);

    const std::array<int, 12> favTops{1095, 1440, 1770, 2115, 2445, 2790, 3120, 3465, 3795, 4140, 4470, 4815};
    for (int i = 0; i < 12; ++i) {
        Fav[i] = label(Frame2, member(u"Fav"_qs, i), rect(0, favTops[i], 855, 270), QString());
        Fav[i]->setFont(sansFont(9.75, true));
        Fav[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setBaseColour(Fav[i], 0x000080);
        setTextColour(Fav[i], 0xE0E0E0);
        Fav[i]->setMouseTracking(true);
        Fav[i]->hide();
    }
    Image2 = place<QLabel>(Frame2, u"Image2"_qs, rect(4080, 3420, 480, 480));
    Image2->setPixmap(Artwork::FavouritePointerIcon());
    Image2->hide();
    Shape1 = shape(Frame2, u"Shape1"_qs, rect(975, 690, 6765, 4665), Twips::rgb(0xFFFFFF));

    stack({Frame5, Option2[2], Option2[1], Option2[0], Frame4, Command2, Command5, LabMetar, Command6, Label17,
        Label1, Label2, Fav[0], Fav[1], Fav[2], Fav[3], Fav[4], Fav[5], Fav[6], Fav[7], Fav[8], Fav[9], Fav[10],
        Fav[11], Image2, Shape1});
}
