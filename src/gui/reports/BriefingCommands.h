#pragma once

#include "briefing/BriefingDocument.h"
#include "briefing/BriefingFile.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QKeySequence;
class QWidget;
class SettingsStore;

/// The commands that take the shown briefing out of the window: copy, copy the whole briefing, select all, save, print
/// and export to PDF, each an action with a shortcut the window takes. Save, print and export open their dialog only
/// when the user asks; a save that fails says why in a message. The folder of the last saved briefing is remembered.
class BriefingCommands final : public QObject
{
    Q_OBJECT

public:
    using BriefingSource = std::function<BriefingDocument::Briefing()>;

    /// @p window parents the dialogs and gets the actions, so their shortcuts work anywhere in it.
    BriefingCommands(QWidget& window, SettingsStore& settings, BriefingSource currentBriefing);
    Q_DISABLE_COPY_MOVE(BriefingCommands)

    /// The commands in menu order, a separator between the selection commands and the others.
    const QList<QAction*>& actions() const { return m_actions; }

    /// Puts the whole briefing on the clipboard, as the text file and the web page have it.
    void copyBriefing();

Q_SIGNALS:
    /// Copy the selection; the window copies the whole briefing when nothing is selected.
    void copyRequested();
    void selectAllRequested();

private:
    QAction* addCommand(const QString& name, const QString& text, const QKeySequence& keys);
    void save();
    void print();
    void exportPdf();
    std::optional<BriefingDocument::Briefing> fetchedBriefing();
    QString suggestedPath(const BriefingDocument::Briefing& briefing, BriefingFile::Format format) const;
    void saveAs(const BriefingDocument::Briefing& briefing, const QString& path, BriefingFile::Format format);

    QWidget& m_window;
    SettingsStore& m_settings;
    BriefingSource m_currentBriefing;
    QList<QAction*> m_actions;
};
