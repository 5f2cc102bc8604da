#pragma once

#include "platform/Services.h"
#include "reports/StyleSpan.h"
#include "stations/StationTable.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;

/// The program's one window. Its controls keep the names the window layout fixes (as members and as
/// objectName; members of a control row are named like "Fav(3)"), and its state lives in them: the
/// current code in Label2's caption, the fold state in Command6's caption, the favourites in the Fav
/// captions, the report type in the selected Option2 button. The procedures are defined in the folder
/// of their subsystem: reports/, stations/, favourites/ and app/.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Start-up and shut-down (app/StartUp.cpp).
    void Form_Load();
    void Form_Unload();
    /// Writes the favourites and the report type, as unloading does, and goes on running.
    void saveSettings();
    void Command2_Click();

    // Report requests (reports/).
    void ShowReport(const QString& code);
    bool DownloadPage(const QString& url, const QString& file);
    void Command5_Click();
    void Timer1_Timer();

    // Favourites (favourites/).
    void TagueFav(int index);

    /// Selects report type @p index without requesting a report (the report mode picks its type this way).
    void selectReportTypeQuietly(int index);
    /// Whether the last download of the last request succeeded.
    bool lastDownloadSucceeded() const { return m_lastDownloadOk; }
    /// The report area's text with every line break as CR LF: the text the styling steps search.
    QString reportAreaText() const;
    int outerWidthTwips() const;
    const Stations::StationTable& stationTable() const { return m_stationTable; }

    // ---- Controls placed directly on the window ----
    QFrame* Frame1 = nullptr;
    QFrame* Frame3 = nullptr;
    QTimer* Timer1 = nullptr;
    QFrame* Frame2 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QListWidget* List2 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QListWidget*, 2> List1{};
    QPushButton* Command9 = nullptr;
    QPushButton* Command3 = nullptr;
    QFrame* Shape3 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Shape2 = nullptr;

    // ---- Help panel Frame1 ----
    QPushButton* Command4 = nullptr;
    QLabel* Label7 = nullptr;
    std::array<QLabel*, 6> Label4{};
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Image1 = nullptr;

    // ---- Country and city browser Frame3 ----
    QPlainTextEdit* Text3 = nullptr;
    QListWidget* List3 = nullptr;
    QListWidget* List5 = nullptr;
    QListWidget* List4 = nullptr;
    QLabel* Label8 = nullptr;

    // ---- Report panel Frame2 ----
    QFrame* Frame5 = nullptr;
    QPushButton* Command7 = nullptr;
    QLineEdit* Text2 = nullptr;
    std::array<QRadioButton*, 3> Option2{};
    QFrame* Frame4 = nullptr;
    QLabel* Label9 = nullptr;
    QFrame* Shape4 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QTextEdit* LabMetar = nullptr;
    QPushButton* Command6 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QLabel*, 12> Fav{};
    QLabel* Image2 = nullptr;
    QFrame* Shape1 = nullptr;

    /// Ticks since the last automatic refresh; the search region's handlers set it to 15.
    qint16 Compteur = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool isBackground(const QWidget* container, QPoint at) const;
    // Window construction (app/WindowLayout.cpp).
    void createLeftRegion();
    void createHelpPanel();
    void createBrowser();
    void createReportPanel();
    void connectHandlers();

    // Report paths (reports/).
    void ShowTaf(const QString& code);
    void ShowNotams(const QString& code);
    void StyleMetar();
    bool DownloadStationPage(const QString& code, const QString& url, const QString& file);
    bool checkDownloaded(const QString& file);
    void setReportBackground(quint32 rgb);
    void setReportText(const QString& text);
    void applySpans(const StyleSpans& spans);
    void letEventsRun();

    // Favourites (favourites/).
    void AddFavourite();
    void ResetFavHighlight();
    void Fav_MouseDown(int index, Qt::MouseButton button);
    void Fav_MouseMove(int index);

    // Code list, search and browser (stations/).
    void Text1_Change();
    void Command1_Click();
    void List1_Click(int index);
    void List2_Click();
    void Option1_Click(int index);
    void Command9_Click();
    void List3_Click();
    void List4_Click();
    void List5_Click();
    void showChosenCode(const QListWidget* list);

    // Panels and commands (app/Panels.cpp).
    void Command3_Click();
    void Command4_Click();
    void Label5_Click();
    void Label6_Click();
    void Command6_Click();
    void Command7_Click();
    void Option2_Click(int index);
    void setOuterWidthTwips(int twips);

    Services m_services;
    Stations::StationTable m_stationTable;
    bool m_lastDownloadOk = true;
    bool m_transferRunning = false;
    bool m_tickDeferred = false;
    bool m_tickRunning = false;
    bool m_unloaded = false;
};
