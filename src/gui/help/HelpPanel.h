#pragma once

#include <QFrame>
#include <QPointer>

#include <array>

class LinkOpener;
class QLabel;
class QPushButton;

/// The help and about panel: six help texts over the help picture, the version, the author's site and a
/// contact link. It lies over the whole window while open; a click anywhere on it but a link closes it.
class HelpPanel final : public QFrame
{
    Q_OBJECT

public:
    HelpPanel(QWidget* parent, LinkOpener& links, QString siteAddress);
    Q_DISABLE_COPY_MOVE(HelpPanel)

    void open();
    void dismiss();
    /// Shows the running version; until then the caption reads "Version:" alone.
    void showVersion(const QString& version);

Q_SIGNALS:
    void openChanged(bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openSite();
    void contactAuthor();

    LinkOpener& m_links;
    QString m_siteAddress;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_versionLabel = nullptr;
    std::array<QLabel*, 6> m_helpTexts {};
    QLabel* m_shortcutsText = nullptr;
    QLabel* m_contactLink = nullptr;
    QLabel* m_siteLink = nullptr;
    QLabel* m_helpPicture = nullptr;
    QPointer<QWidget> m_focusBeforeOpening; // where the keyboard goes back to when the help closes
};
