// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the editor's one top-level window. It holds the canvas view,
// the menus, the standard toolbar, the tool palette, the option bar, the
// effect list and the status bar, runs every command through the command
// table's enable rules, and handles the file, print, bar and about commands.
#pragma once

#include "ui/prompts.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class CLumasetDoc;
struct CommandDef;
class CLumasetView;
class CSettingBar;
class CTrueColorToolBar;
class QAction;
class QDockWidget;
class QLabel;
class QPrinter;
class QSessionManager;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    // Status-bar pane ids after the message pane, in their order on the bar.
    static constexpr int kPaneIds[] = {103, 102, 101};
    static constexpr int kRecentFileCount = 4;
    static constexpr int kFirstRecentFileId = 57616;

    // host is the document's host; its prompts serve the frame too.
    CMainFrame(CLumasetDoc& doc, MessageHost& host, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the bars around the canvas; false when one cannot be built.
    bool OnCreate();

    CLumasetView& view() { return *m_view; }
    CLumasetDoc& document() { return m_doc; }
    Prompts& prompts() { return m_host.prompts(); }

    // The action of a command number (menus, buttons and keys share it).
    QAction* action(int id) const { return m_actions.value(id); }
    // Runs a command if its enable rule allows it now; false when it did not run.
    bool runCommand(int id);
    // Re-asks every action's enable rule and tool check mark.
    void updateCommandStates();
    // Lets whoever implements an editor command the frame does not (Copy,
    // Paste) run it when the command's item, button or key is used.
    void setCommandHandler(int id, std::function<void()> handler);

    // File commands. Each asks to save a modified picture first and does
    // nothing when the user cancels or the save fails.
    bool openFile(const QString& path);
    bool openWithDialog();
    bool newFile();
    bool saveDocument();
    bool saveDocumentAs();
    // "Save changes to NAME?" when the picture is modified: true when the
    // caller may go on (saved, or not to be saved).
    bool SaveModified();
    // Recipes: the steps that led to the current history position written to
    // a file, and a recipe file's steps shown and then run, one history entry
    // each. The Dialog forms ask for the file first. False when nothing was
    // written or run (cancelled, or an error that was shown).
    bool saveRecipeWithDialog();
    bool saveRecipe(const QString& path);
    bool applyRecipeWithDialog();
    bool applyRecipe(const QString& path);

    QStringList recentFiles() const { return m_recentFiles; }
    // Puts path at the top of the recent-file list (at most four names) and
    // stores the list in the settings.
    void addRecentFile(const QString& path);
    void loadRecentFiles();

    // Prints the picture on one page of printer; false when painting failed.
    bool printTo(QPrinter& printer);

    QToolBar* standardBar() const { return m_standardBar; }
    CTrueColorToolBar* toolPalette() const { return m_palette; }
    CSettingBar* settingBar() const { return m_settingBar; }
    QDockWidget* effectListBar() const { return m_effectList; }
    // Places the effect gallery in the "Effect List" bar.
    QLabel* pane(int id) const { return m_panes.value(id); }
    QString lockIndicatorText(int index) const;

    // The about box: "About Lumaset", the icon, "Lumaset Version 1.0", OK.
    std::unique_ptr<QMessageBox> makeAboutBox();

    // Asks to save a modified picture when the desktop session ends.
    void commitData(QSessionManager& manager);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    bool commandEnabled(const CommandDef& def) const;
    void createActions();
    void wireViewServices();
    void createStatusBar();
    void createDockBars();
    void runEditorCommand(int id);
    void updateTitle();
    void updateRecentFileMenu();
    void printWithDialog();
    void printPreview();
    void pageSetup();
    void showAbout();
    bool saveTo(const QString& path);

    CLumasetDoc& m_doc;
    MessageHost& m_host;
    CLumasetView* m_view = nullptr;
    QToolBar* m_standardBar = nullptr;
    CTrueColorToolBar* m_palette = nullptr;
    CSettingBar* m_settingBar = nullptr;
    QDockWidget* m_effectList = nullptr;
    QHash<int, QAction*> m_actions;
    QHash<int, QLabel*> m_panes;
    QLabel* m_lockPanes[3] = {};
    QHash<int, std::function<void()>> m_handlers;
    QAction* m_recentSpot = nullptr;
    QList<QAction*> m_recentActions;
    QStringList m_recentFiles;
    std::unique_ptr<QPrinter> m_printer;
    bool m_saveFailed = false;
};
