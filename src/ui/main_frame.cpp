// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's bars, actions and command routing.
#include "ui/main_frame.h"

#include "commands/command.h"
#include "document/lumaset_doc.h"
#include "ui/dialogs/command_dialogs.h"
#include "ui/gallery/effect_dlg.h"
#include "ui/menu_layout.h"
#include "ui/setting_bar.h"
#include "ui/themed_icon.h"
#include "ui/true_color_toolbar.h"
#include "view/lumaset_view.h"
#include "view/view_tool_host.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int kToolbarBar = 59392;
constexpr int kStatusBar = 59393;
constexpr int kSettingBar = 32787;
constexpr int kEffectListBar = 158;

// Standard toolbar and tool palette, 0 for a separator.
constexpr int kStandardButtons[] = {57600, 57601, 57603, 0,     57635, 57634,
                                    57637, 0,     57607, 57664, 57643, 57644};
constexpr int kPaletteButtons[] = {32771, 32772, 32773, 32774, 32775, 0,     32776,
                                   32777, 32779, 32778, 32780, 32781, 32782, 32783,
                                   0,     32784, 32785, 32862, 32799};

struct Accelerator {
    int id;
    QKeyCombination keys[2];
};
const Accelerator kAccelerators[] = {
    {57600, {Qt::CTRL | Qt::Key_N}},
    {57601, {Qt::CTRL | Qt::Key_O}},
    {57603, {Qt::CTRL | Qt::Key_S}},
    {57607, {Qt::CTRL | Qt::Key_P}},
    {57643, {Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}},
    {57644, {Qt::CTRL | Qt::Key_Y}},
    {57635, {Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete}},
    {57634, {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}},
    {57637, {Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}},
};

// Status panes sized by these strings; pane 101 must also fit the zoom as
// "%f" ("0.660000").
struct PaneSize {
    int id;
    const char* sample;
};
constexpr PaneSize kPaneSizes[] = {
    {103, "offset x:0000,y:0000"},
    {102, "scroll x:0000,y:0000"},
    {101, "x:0000,y:0000,16.000000 "},
};
const char* const kLockTexts[] = {"CAP", "NUM", "SCRL"};

QLabel* makePane(QStatusBar* bar, const QString& sample) {
    auto* label = new QLabel(bar);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sample) + 8);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(label);
    return label;
}

} // namespace

// The icons live in the ui library's resources, which a static library must
// register itself (outside any namespace, as Q_INIT_RESOURCE requires).
static void initResources() {
    Q_INIT_RESOURCE(lumaset);
}

CMainFrame::CMainFrame(CLumasetDoc& doc, MessageHost& host, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_host(host) {
    initResources();
    m_host.setParentWidget(this);
    m_view = new CLumasetView(doc, this);
    setCentralWidget(m_view);
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/lumaset.svg")));
    createActions();
    wireViewServices();
    connect(m_view, &CLumasetView::commandStateChanged, this, &CMainFrame::updateCommandStates);
    connect(&m_doc, &CLumasetDoc::updated, this, [this] {
        updateCommandStates();
        updateTitle();
    });
}

// The view asks its owner for what needs a window of its own: the command
// dialogs, the text tool's dialog, and the option bar's swatch when the colour
// picker takes a colour.
void CMainFrame::wireViewServices() {
    m_view->setDialogRunner(
        [this](const CommandDef& command, EditContext& context, const Params& values) {
            return RunCommandDialog(this, command, context, values);
        });
    m_view->toolHost().setTextDialogRunner(
        [this](QPoint imagePoint) { return RunTextDialog(this, m_doc, imagePoint); });
    m_view->toolHost().setForegroundListener(
        [this](ARGB color) { m_settingBar->SetForegroundSwatch(QColor::fromRgba(color)); });
}

CMainFrame::~CMainFrame() {
    m_host.setParentWidget(nullptr);
}

void CMainFrame::createActions() {
    for (const CommandDef& def : CommandTable()) {
        auto* action = new QAction(QString::fromLatin1(def.text), this);
        action->setData(def.id);
        action->setStatusTip(PlainText(def));
        action->setToolTip(PlainText(def));
        action->setCheckable(def.tool != 0 || def.id == kToolbarBar || def.id == kStatusBar ||
                             def.id == kSettingBar);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = def.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions.insert(id, action);
    }
    for (const Accelerator& a : kAccelerators) {
        QList<QKeySequence> keys;
        for (QKeyCombination k : a.keys)
            if (k.key() != Qt::Key_unknown) keys.append(QKeySequence(k));
        m_actions.value(a.id)->setShortcuts(keys);
    }
    // F6 and Shift+F6 (next and previous pane) have no handler in a window
    // without split panes, so their keys stay disabled.
    for (QKeyCombination k : {QKeyCombination(Qt::Key_F6), Qt::SHIFT | Qt::Key_F6}) {
        auto* pane = new QAction(this);
        pane->setShortcut(QKeySequence(k));
        pane->setEnabled(false);
        addAction(pane);
    }
    addActions(m_actions.values());
}

bool CMainFrame::OnCreate() {
    m_recentSpot = BuildMenuBar(menuBar(), [this](int id) { return m_actions.value(id); });
    if (!m_recentSpot) return false;

    m_standardBar = addToolBar(QStringLiteral("Standard"));
    m_standardBar->setObjectName(QStringLiteral("bar%1").arg(kToolbarBar));
    for (int id : kStandardButtons) {
        if (id == 0)
            m_standardBar->addSeparator();
        else {
            QAction* action = m_actions.value(id);
            if (!action || !HasCommandIcon(id)) return false;
            action->setIcon(ThemedIcon(id));
            m_standardBar->addAction(action);
        }
    }
    m_standardBar->setIconSize(QSize(16, 16));

    createStatusBar();

    m_palette = new CTrueColorToolBar(QStringLiteral("Tools"), this);
    m_palette->setObjectName(QStringLiteral("palette134"));
    for (int id : kPaletteButtons) {
        if (id == 0)
            m_palette->addSeparator();
        else
            m_palette->addAction(m_actions.value(id));
    }
    addToolBar(Qt::LeftToolBarArea, m_palette);
    if (!m_palette->LoadTrueColorToolBar(24)) return false;

    addToolBarBreak(Qt::TopToolBarArea);
    m_settingBar = new CSettingBar(m_doc, prompts(), this);
    m_settingBar->setObjectName(QStringLiteral("bar%1").arg(kSettingBar));
    addToolBar(Qt::TopToolBarArea, m_settingBar);

    createDockBars();

    for (QToolBar* bar : {m_standardBar, static_cast<QToolBar*>(m_settingBar)})
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::updateCommandStates);

    loadRecentFiles();
    updateCommandStates();
    updateTitle();
    return true;
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    for (const PaneSize& p : kPaneSizes)
        m_panes.insert(p.id, makePane(bar, QString::fromLatin1(p.sample)));
    for (int i = 0; i < 3; ++i)
        m_lockPanes[i] = makePane(bar, QString::fromLatin1(kLockTexts[i]));
    connect(m_view, &CLumasetView::paneTextChanged, this, [this](int id, const QString& text) {
        if (QLabel* label = m_panes.value(id)) label->setText(text);
    });
    // Qt has no lock-key query: the view reports Caps and Num Lock from its
    // key events, and Scroll Lock stays blank.
    connect(m_view, &CLumasetView::lockKeysChanged, this, [this](bool caps, bool num) {
        m_lockPanes[0]->setText(caps ? QString::fromLatin1(kLockTexts[0]) : QString());
        m_lockPanes[1]->setText(num ? QString::fromLatin1(kLockTexts[1]) : QString());
    });
}

QString CMainFrame::lockIndicatorText(int index) const {
    return m_lockPanes[index]->text();
}

void CMainFrame::createDockBars() {
    m_effectList = new QDockWidget(QStringLiteral("Effect List"), this);
    m_effectList->setObjectName(QStringLiteral("bar%1").arg(kEffectListBar));
    m_effectList->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_effectList->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* gallery = new CEffectDlg(m_effectList);
    // A click on a picture runs its effect as the menu command does.
    connect(gallery, &CEffectDlg::galleryButtonClicked, this, [this](int galleryId) {
        ExecuteGalleryButton(m_view->context(), galleryId);
        updateCommandStates();
    });
    m_effectList->setWidget(gallery);
    // Like its missing close button, the bars' context menu offers no way to
    // hide the effect list.
    m_effectList->toggleViewAction()->setVisible(false);
    addDockWidget(Qt::RightDockWidgetArea, m_effectList);
    resizeDocks({m_effectList}, {200}, Qt::Horizontal);
}

void CMainFrame::setCommandHandler(int id, std::function<void()> handler) {
    m_handlers.insert(id, std::move(handler));
    updateCommandStates();
}

bool CMainFrame::runCommand(int id) {
    const CommandDef* def = FindCommand(id);
    // The enable rule is asked again at the moment of running: the state
    // shown may be older than the last change.
    const bool run = def && m_actions.contains(id) && commandEnabled(*def);
    if (run) {
        if (m_handlers.contains(id))
            m_handlers.value(id)();
        else if (def->editorOnly && !def->handler)
            runEditorCommand(id);
        else if (id != 57600 || SaveModified())
            ExecuteCommand(m_view->context(), *def, Params(def->params));
    }
    updateCommandStates();
    return run;
}

void CMainFrame::runEditorCommand(int id) {
    switch (id) {
    case 57601:
        openWithDialog();
        break;
    case 57603:
        saveDocument();
        break;
    case 57604:
        saveDocumentAs();
        break;
    case 57607:
        printWithDialog();
        break;
    case 57609:
        printPreview();
        break;
    case 57606:
        pageSetup();
        break;
    case 57665:
        close();
        break;
    case 57664:
        showAbout();
        break;
    case 32900:
        saveRecipeWithDialog();
        break;
    case 32901:
        applyRecipeWithDialog();
        break;
    case kToolbarBar:
        m_standardBar->setVisible(m_standardBar->isHidden());
        break;
    case kStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case kSettingBar:
        m_settingBar->setVisible(m_settingBar->isHidden());
        break;
    default:
        break;
    }
}

// Editor commands the frame itself runs; an editor command with an engine
// handler (Copy, Paste) runs through the command table; any other (Print
// Direct) is disabled until a handler is set for it.
bool CMainFrame::commandEnabled(const CommandDef& def) const {
    if (!IsCommandEnabled(def, m_view->context())) return false;
    if (!def.editorOnly || def.handler || m_handlers.contains(def.id)) return true;
    switch (def.id) {
    case 57601:
    case 57603:
    case 57604:
    case 57607:
    case 57609:
    case 57606:
    case 57665:
    case 57664:
    case 32900:
    case 32901:
    case kToolbarBar:
    case kStatusBar:
    case kSettingBar:
        return true;
    default:
        return false;
    }
}

void CMainFrame::updateCommandStates() {
    EditContext& context = m_view->context();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const CommandDef* def = FindCommand(it.key());
        QAction* action = it.value();
        action->setEnabled(commandEnabled(*def));
        if (def->tool != 0) action->setChecked(IsCommandChecked(*def, context));
    }
    if (m_standardBar) m_actions.value(kToolbarBar)->setChecked(!m_standardBar->isHidden());
    m_actions.value(kStatusBar)->setChecked(!statusBar()->isHidden());
    if (m_settingBar) m_actions.value(kSettingBar)->setChecked(!m_settingBar->isHidden());
}

void CMainFrame::updateTitle() {
    const QString path = m_doc.GetPathName();
    setWindowTitle((path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName()) +
                   QStringLiteral(" - Lumaset"));
}

void CMainFrame::changeEvent(QEvent* event) {
    // The icons draw in the palette's colours: repaint them when the desktop
    // switches between light and dark.
    if (event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange) {
        for (QToolBar* bar : findChildren<QToolBar*>())
            bar->update();
    }
    QMainWindow::changeEvent(event);
}
