#include "app/MainWindow.h"

#include "ui/Artwork.h"
#include "reports/ReportArea.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

namespace {

// The layout's client area, in twips.
constexpr int kClientWidth = 10920;
constexpr int kClientHeight = 5460;

} // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    setObjectName(u"MainWindow"_qs);
    setWindowTitle(u"Météo."_qs);
    setWindowIcon(Artwork::WindowIcon());
    QFont font(u"Liberation Sans"_qs);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    setFont(font);
    setFixedHeight(Twips::toPixels(kClientHeight));
    resize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    setMouseTracking(true);

    createLeftRegion();
    createHelpPanel();
    createBrowser();
    createReportPanel();

    // The code lists come with the window, before the load handler runs.
    const Stations::StationData data = Stations::LoadEmbeddedStationData();
    List1[0]->addItems(data.codesAToK);
    List1[1]->addItems(data.codesLToZ);

    connectHandlers();
    Text1->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &MainWindow::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::Command7_Click);
    connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command9, &QPushButton::clicked, this, &MainWindow::Command9_Click);
    connect(Text1, &QLineEdit::textChanged, this, &MainWindow::Text1_Change);
    for (int i = 0; i < 2; ++i) {
        connect(List1[i], &QListWidget::itemClicked, this, [this, i] { List1_Click(i); });
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    connect(List2, &QListWidget::itemClicked, this, &MainWindow::List2_Click);
    connect(List3, &QListWidget::itemClicked, this, &MainWindow::List3_Click);
    connect(List4, &QListWidget::itemClicked, this, &MainWindow::List4_Click);
    connect(List5, &QListWidget::itemClicked, this, &MainWindow::List5_Click);
    // Selecting a report type, by hand or at start-up, requests the current code with that type.
    for (int i = 0; i < 3; ++i) {
        connect(Option2[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option2_Click(i);
        });
    }

    // Mouse events of labels, pictures and panels, which have no signals of their own.
    for (QLabel* slot : Fav)
        slot->installEventFilter(this);
    for (QWidget* widget :
        std::initializer_list<QWidget*>{Frame1, Image1, Label5, Label6, Label7, Frame2, LabMetar->viewport()})
        widget->installEventFilter(this);
    for (QLabel* text : Label4)
        text->installEventFilter(this);
    Frame2->setMouseTracking(true);
    LabMetar->viewport()->setMouseTracking(true);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    for (int i = 0; i < static_cast<int>(Fav.size()); ++i) {
        if (watched != Fav[i])
            continue;
        if (type == QEvent::MouseButtonPress) {
            Fav_MouseDown(i, static_cast<QMouseEvent*>(event)->button());
            return true;
        }
        if (type == QEvent::MouseMove) {
            Fav_MouseMove(i);
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    // The version label is no link and no part of the panel's background: its clicks do nothing.
    if (watched == Label7 && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease))
        return true;
    if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label5) {
            Label5_Click();
            return true;
        }
        if (watched == Label6) {
            Label6_Click();
            return true;
        }
        const bool helpText = std::find(Label4.begin(), Label4.end(), watched) != Label4.end();
        if (watched == Frame1 || watched == Image1 || helpText) {
            Command4_Click();
            return true;
        }
    }
    if (type == QEvent::MouseMove) {
        if (watched == LabMetar->viewport()
            || (watched == Frame2 && isBackground(Frame2, static_cast<QMouseEvent*>(event)->position().toPoint())))
            ResetFavHighlight();
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::isBackground(const QWidget* container, QPoint at) const
{
    // Labels and rectangles draw on their container and take no mouse of their own; a move that a control
    // (a button that tracks the pointer for its hover look, say) passes on is not over the background.
    const QWidget* child = container->childAt(at);
    return !child || qobject_cast<const QLabel*>(child) || child->objectName().startsWith(u"Shape");
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

QString MainWindow::reportAreaText() const
{
    return ReportArea::ReadBack(LabMetar);
}

void MainWindow::selectReportTypeQuietly(int index)
{
    const QSignalBlocker blocker(Option2[index]);
    Option2[index]->setChecked(true);
}

int MainWindow::outerWidthTwips() const
{
    return Twips::fromPixels(frameGeometry().width());
}

void MainWindow::setOuterWidthTwips(int twips)
{
    const int frame = frameGeometry().width() - width();
    resize(std::max(1, Twips::toPixels(twips) - frame), height());
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (isBackground(this, event->position().toPoint()))
        ResetFavHighlight();
    QWidget::mouseMoveEvent(event);
}
