#include "app/AppDelegate.h"

#include "character/CharacterSize.h"
#include "character/CharacterSkin.h"
#include "character/ui/CharacterArtwork.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "character/ui/RobotView.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "filedrop/ui/FileDropController.h"
#include "filedrop/ui/RobotDropTarget.h"
#include "launcher/ui/LauncherPanel.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "launcher/ui/LauncherViewController.h"
#include "look/QuibSkin.h"
#include "motion/DockGeometry.h"
#include "motion/UtilityWindowPlacement.h"
#include "platform/core/QtMainQueue.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DesktopWorkspace.h"
#include "platform/ui/Screens.h"
#include "platform/ui/StatusItem.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowDecoration.h"
#include "reminders/ui/ReminderFeature.h"
#include "settings/ui/SettingsWindowController.h"
#include "shortcuts/ShortcutReaction.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/ShortcutEditorController.h"
#include "widgets/ContentWindowSizing.h"
#include "widgets/GlassSurface.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QSessionManager>
#include <cmath>

using Hold = PacingController::Hold;

AppDelegate::AppDelegate(std::shared_ptr<ShortcutStore> shortcutStore, pf::UserDefaults& defaults,
                         QString assetRoot)
    : m_shortcutStore(std::move(shortcutStore)),
      m_defaults(defaults),
      m_assetRoot(std::move(assetRoot)),
      m_hover(pf::QtMainQueue::shared()),
      m_opener(pf::DesktopWorkspace::shared()) {
  // The store calls back after its catalog or any companion's size changed.
  m_shortcutStore->onChange = [delegate = QPointer<AppDelegate>(this)] {
    if (!delegate) return;
    delegate->applySettings();
    if (delegate->m_launcher) delegate->m_launcher->refresh();
  };
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
  CharacterSkin::migrateArchivedChoice(m_defaults);
  // The status menu and the menus, lists and dialogs of every window wear the skin too.
  pf::ViewStyle::setDefaultAppearance(QuibSkin::appearance());
  buildStatusMenu();
  createFileDrop();
  createCompanion();
  createLauncher();
  createSettings();
  createClipboardFavorites();
  createDropTarget();
  createReminders();
  placeCompanion();
  m_panel->orderFront();
  m_reminders->start();
  // Logging out would end a transfer half-way, as quitting would.
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (m_fileDrop->isBusy() && manager.allowsInteraction()) {
      m_fileDrop->window()->makeKeyAndOrderFront();
      manager.cancel();
    }
  });
  connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { keepCompanionOnScreen(); });
  connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this] { keepCompanionOnScreen(); });
  // A display that shrinks keeps windows where they were, possibly beyond its edges.
  const auto watchSize = [this](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, [this] { keepCompanionOnScreen(); });
  };
  for (QScreen* screen : QGuiApplication::screens()) watchSize(screen);
  connect(qGuiApp, &QGuiApplication::screenAdded, this, watchSize);
}

void AppDelegate::applicationWillTerminate() {
  if (m_reminders) m_reminders->stop();
  if (m_dropTarget) m_dropTarget->stop();
  if (m_launcher) m_launcher->cancelArrangement();
  if (m_performance) m_performance->stop();
  m_hover.stop();
}

ShortcutEditorController& AppDelegate::shortcutEditor() {
  if (!m_shortcutEditor) {
    m_shortcutEditor = std::make_unique<ShortcutEditorController>(*m_shortcutStore);
    m_shortcutEditor->positionWindow = [this](pf::Window* window) { placeBesideCompanion(window); };
  }
  return *m_shortcutEditor;
}

void AppDelegate::presentShortcutEditor() {
  handOver();
  shortcutEditor().present();
}

void AppDelegate::presentReminders() {
  handOver();
  m_reminders->presentList();
}

void AppDelegate::presentSettings() {
  handOver();
  m_settings->showWindow();
}

void AppDelegate::presentClipboard() {
  handOver();
  m_clipboard->present();
}

// The launcher stays in front of every window, so it gives way to one that opens.
void AppDelegate::handOver() { m_hover.handOver(pointerOnCompanion()); }

void AppDelegate::buildStatusMenu() {
  m_statusMenu.add(QStringLiteral("Open Shortcuts"), [this] { m_hover.openUntilVisited(); });
  m_statusMenu.add(QStringLiteral("Edit Shortcuts…"), [this] { presentShortcutEditor(); });
  m_statusMenu.add(QStringLiteral("Reminders…"), [this] { presentReminders(); });
  m_statusMenu.add(QStringLiteral("Settings…"), [this] { presentSettings(); });
  m_statusMenu.add(QStringLiteral("Clipboard…"), [this] { presentClipboard(); });
  m_statusMenu.add(QStringLiteral("Reset Position"), [this] {
    m_hover.close();
    resetPosition();
  });
  m_statusMenu.add(QStringLiteral("Quit Wendle"), [this] { quit(); });
  pf::Menu& menu = m_statusMenu.menu();
  // The menu takes the launcher's place: it must not open behind the menu
  // while the pointer is over the companion the menu came from.
  menu.onOpen = [this] {
    m_holds.set(Hold::menu, true);
    m_hover.menuOpened();
  };
  menu.onClose = [this] {
    m_holds.set(Hold::menu, false);
    m_hover.menuClosed(pointerOnCompanion());
  };
  // Made even while no tray exists: a tray that starts after us (as at login)
  // still receives the icon, and the companion's right-click serves meanwhile.
  const QIcon icon(
      CharacterArtwork::pathFor(m_assetRoot, CharacterSkin::selected(m_defaults), Facing::right));
  m_statusItem = std::make_unique<pf::StatusItem>(icon, &menu);
  m_statusItem->setToolTip(QStringLiteral("Wendle"));
  m_statusItem->setVisible(true);
}

void AppDelegate::createCompanion() {
  m_panel = std::make_unique<CompanionPanel>(m_assetRoot);
  RobotView* view = m_panel->robotView();
  view->setCharacter(CharacterSkin::selected(m_defaults), Facing::right);
  applySettings();
  // The menu is the same one the status item shows, so it is there without a tray.
  view->onRightClick = [this](pf::Point at) { m_statusMenu.menu().popUp(at); };
  view->onFilesDropped = [this](const QList<QUrl>& urls) { return takeDroppedFiles(urls); };
  view->onHover = [this](bool inside) {
    // A file dragged over the companion is not a visit.
    if (m_dropTarget && m_dropTarget->isTrackingFileDrag()) return;
    if (!inside) return m_hover.companionLeft();
    // Only a pointer really over the companion opens the launcher: some window
    // systems report an enter to the window below one that just hid.
    if (pointerOnCompanion()) m_hover.companionEntered();
  };
  view->onPress = [this] { m_hover.companionPressed(); };
  m_performance = std::make_unique<PerformancePlayer>(view, pf::QtMainQueue::shared());
  m_performance->onActivity = [this](bool playing) { m_holds.set(Hold::performance, playing); };
  // The launcher would stay behind where the companion was.
  view->onDragStarted = [this] {
    m_holds.set(Hold::dragging, true);
    m_hover.close();
  };
  view->onDragEnded = [this] {
    m_holds.set(Hold::dragging, false);
    saveCompanionPosition();
  };
}

void AppDelegate::createLauncher() {
  m_launcher = std::make_unique<LauncherViewController>(*m_shortcutStore);
  // The border exists once the view is made: arguments are evaluated in no set order.
  GlassSurface* view = m_launcher->view();
  m_launcherPanel = std::make_unique<LauncherPanel>(view, m_launcher->preferredSize(), m_launcher->resizeBorder());
  // The panel is always as large as its grid, so no band of it stays empty.
  m_launcherSizing = std::make_unique<ContentWindowSizing>(
      m_launcherPanel.get(), QStringLiteral("launcher"), &m_shortcutStore->defaults(), m_launcher->minimumSize(),
      m_launcher->preferredSize(), [this](pf::Size size) { return m_launcher->fittedSize(size); });
  m_launcher->onOpen = [this](const Shortcut& shortcut) {
    openShortcut(shortcut);
    if (!m_shortcutStore->defaults().boolValue(pinnedKey)) m_hover.close();
  };
  m_launcher->onDismiss = [this] { m_hover.close(); };
  m_launcher->onEditShortcuts = [this] { presentShortcutEditor(); };
  m_launcher->onSettings = [this] { presentSettings(); };
  m_launcher->onClipboardFavorites = [this] { presentClipboard(); };
  m_launcher->onReminders = [this] { presentReminders(); };
  m_launcher->onArrangeError = [](const QString& message) {
    auto* alert = new pf::Alert;
    alert->setMessageText(message);
    alert->beginSheet(nullptr, {});
  };
  m_launcher->onHeaderDragStart = [this] {
    m_headerDragOrigin = m_launcherPanel->frame().origin;
    m_hover.setHold(HoverCoordinator::Hold::moving, true);
  };
  m_launcher->onHeaderDelta = [this](pf::Point offset) {
    m_launcherPanel->setFrameOrigin({m_headerDragOrigin.x + offset.x, m_headerDragOrigin.y + offset.y});
  };
  m_launcher->onHeaderDragEnd = [this](pf::Point) { m_hover.setHold(HoverCoordinator::Hold::moving, false); };
  wireLauncherHolds();
  m_hover.onOpen = [this] { revealLauncher(); };
  m_hover.onClose = [this] { closeLauncher(); };
  m_hover.pointerInside = [this] { return pointerNearLauncher(); };
}

void AppDelegate::createClipboardFavorites() {
  m_clipboard = std::make_unique<ClipboardFavoritesController>(
      std::make_unique<ClipboardFavoritesStore>(m_shortcutStore->dataDirectory()), nullptr,
      &m_shortcutStore->defaults());
  m_clipboard->onHold = [this](bool holding) { m_holds.set(Hold::clipboard, holding); };
  m_clipboard->positionWindow = [this](pf::Window* window) { placeBesideCompanion(window); };
}

void AppDelegate::wireLauncherHolds() {
  m_launcher->onArrangeInteraction = [this](bool arranging) {
    m_hover.setHold(HoverCoordinator::Hold::arranging, arranging);
    m_holds.set(Hold::arranging, arranging);
  };
  LauncherResizeBorder* border = m_launcher->resizeBorder();
  border->onBegin = [this] { m_hover.setHold(HoverCoordinator::Hold::resizing, true); };
  // The panel takes the size of the grid that fits what the user dragged and
  // goes back beside the companion, which a wider panel may have covered;
  // that may be away from the pointer, so it waits for the pointer to come.
  // A launcher closed mid-resize stays closed.
  border->onEnd = [this] {
    m_launcherSizing->userResized();
    if (m_hover.isOpen()) {
      revealLauncher();
      m_hover.openUntilVisited();
    }
    m_hover.setHold(HoverCoordinator::Hold::resizing, false);
  };
}

void AppDelegate::revealLauncher() {
  QScreen* screen = pf::Screens::of(m_panel.get());
  const pf::Rect screenFrame = pf::Screens::frame(screen);
  const pf::Rect visibleFrame = pf::Screens::visibleFrame(screen);
  m_launcherPanel->setMinimumSize(int(std::ceil(m_launcher->minimumSize().width)),
                                  int(std::ceil(m_launcher->minimumSize().height)));
  m_launcherPanel->reveal(m_panel->frame(), screenFrame, visibleFrame,
                          DockGeometry::frames(screenFrame, visibleFrame));
  // Both float at one level: a reminder on screen stays in front.
  if (LauncherPanel* bubble = m_reminders->panel(); bubble && bubble->isVisible()) bubble->orderFront();
}

void AppDelegate::closeLauncher() {
  m_launcher->cancelArrangement();
  m_launcherPanel->dismiss();
}

void AppDelegate::placeBesideCompanion(QWidget* window) const {
  // A window already on screen stays where the user left it.
  if (!m_panel || window->isVisible()) return;
  const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
  const pf::Rect frame = UtilityWindowPlacement::frame(
      pf::toSize(QSizeF(window->size())), pf::toSize(QSizeF(minimum)), pf::WindowDecoration::extents(window),
      m_panel->frame(), pf::Screens::visibleFrame(pf::Screens::of(m_panel.get())));
  if (auto* framed = qobject_cast<pf::Window*>(window)) {
    framed->setFrame(frame);
  } else {
    window->setGeometry(pf::Screens::toQt(frame));
  }
}

bool AppDelegate::pointerOnCompanion() const {
  return m_panel && m_panel->isVisible() && m_panel->frame().contains(pf::Screens::toYUp(QCursor::pos()));
}

bool AppDelegate::pointerNearLauncher() const {
  return pointerOnCompanion() || m_launcherPanel->containsHover(pf::Screens::toYUp(QCursor::pos()));
}

void AppDelegate::createFileDrop() {
  m_fileDrop = std::make_unique<FileDropController>(m_shortcutStore);
  m_fileDrop->onHold = [this](bool on) { m_holds.set(Hold::fileTransfer, on); };
  m_fileDrop->positionWindow = [this](pf::Window* window) { placeBesideCompanion(window); };
  m_fileDrop->onEditFolders = [this] { presentShortcutEditor(); };
}

void AppDelegate::createDropTarget() {
  m_dropTarget = std::make_unique<RobotDropTarget>(m_panel.get(), DesktopDrags::forThisDesktop());
  m_dropTarget->onActivity = [this](bool on) {
    m_holds.set(Hold::fileDropTarget, on);
    if (!on) return;
    if (m_performance) m_performance->stop();
    m_hover.close();
  };
  m_dropTarget->onDrop = [this](const QList<QUrl>& urls) { return takeDroppedFiles(urls); };
}

bool AppDelegate::takeDroppedFiles(const QList<QUrl>& urls) {
  if (m_fileDrop->isBusy()) return false;
  if (m_performance) m_performance->stop();
  handOver();
  return m_fileDrop->present(urls);
}

void AppDelegate::quit() {
  if (m_fileDrop && m_fileDrop->isBusy()) {
    m_fileDrop->window()->makeKeyAndOrderFront();
    return;
  }
  QCoreApplication::quit();
}

void AppDelegate::applySettings() {
  if (!m_panel) return;
  const QVariant onTop = m_defaults.object(alwaysOnTopKey).value_or(QVariant(true));
  m_panel->setLevel(onTop.toBool() ? pf::WindowLevel::floating : pf::WindowLevel::normal);
  m_panel->setCompanionHeight(CharacterSize::storedHeight(m_defaults));
}

void AppDelegate::placeCompanion() {
  if (m_defaults.isNumber(robotXKey) && m_defaults.isNumber(robotYKey)) {
    const pf::Point origin{m_defaults.doubleValue(robotXKey), m_defaults.doubleValue(robotYKey)};
    const pf::Rect frame(origin, m_panel->frame().size);
    // A place on a display that is gone would leave the companion out of reach.
    if (frame.isFinite() && pf::Screens::containing(frame)) {
      m_panel->setFrameOrigin(origin);
      return;
    }
  }
  resetPosition();
}

void AppDelegate::resetPosition() {
  const pf::Rect visible = pf::Screens::visibleFrame(pf::Screens::main());
  const pf::Size size = m_panel->frame().size;
  m_panel->setFrameOrigin({std::round(visible.midX() - size.width / 2), visible.minY()});
  saveCompanionPosition();
}

void AppDelegate::keepCompanionOnScreen() {
  if (m_panel && !pf::Screens::containing(m_panel->frame())) resetPosition();
}

void AppDelegate::saveCompanionPosition() {
  const pf::Point origin = m_panel->frame().origin;
  m_defaults.set(robotXKey, origin.x);
  m_defaults.set(robotYKey, origin.y);
}

void AppDelegate::openShortcut(const Shortcut& shortcut) {
  // There is no stroll to stop, and a reaction replaces any performance still playing.
  m_lastReaction =
      ShortcutReaction::role(shortcut.label, shortcut.destination).value_or(QStringLiteral("action-app"));
  if (m_performance) m_performance->playReaction(m_lastReaction);
  // An application reports its launch later, when this delegate may be gone.
  m_opener.open(shortcut, *m_shortcutStore,
                [delegate = QPointer<AppDelegate>(this)](std::optional<QString> error) {
                  if (delegate && error) delegate->showOpenFailure(*error);
                });
}

void AppDelegate::createSettings() {
  m_settings = std::make_unique<SettingsWindowController>(m_defaults);
  m_settings->onCharacterChange = [this](CharacterSkin skin) {
    RobotView* view = m_panel->robotView();
    view->setCharacter(skin, view->facing());
  };
  m_settings->positionWindow = [this](pf::Window* window) { placeBesideCompanion(window); };
}

void AppDelegate::showOpenFailure(const QString& message) {
  auto* alert = new pf::Alert;
  alert->setMessageText(message);
  alert->addButton(QStringLiteral("Open Settings"));
  alert->adjustSize();
  placeBesideCompanion(alert);
  alert->beginSheet(nullptr, [delegate = QPointer<AppDelegate>(this)](int response) {
    if (delegate && delegate->m_settings && response == pf::Alert::firstButtonResponse) delegate->presentSettings();
  });
}

void AppDelegate::createReminders() {
  m_reminders = std::make_unique<ReminderFeature>(*m_shortcutStore, std::nullopt);
  m_reminders->placement = [this]() -> std::optional<ReminderFeature::Placement> {
    return ReminderFeature::Placement{m_panel->frame(), pf::Screens::of(m_panel.get())};
  };
  m_reminders->onHold = [this](bool on) { m_holds.set(Hold::reminders, on); };
  m_reminders->positionWindow = [this](pf::Window* window) { placeBesideCompanion(window); };
  m_reminders->onAnimation = [this](QuibAction action) { m_performance->play(action); };
  m_reminders->onStopAnimation = [this] { m_performance->stop(); };
  m_reminders->onReveal = [this] {
    m_panel->orderFront();
    handOver();
  };
  // A companion being dragged or arranged is busy; the reminder waits for it.
  m_reminders->available = [this] {
    return !m_holds.contains(Hold::dragging) && !m_holds.contains(Hold::arranging);
  };
  m_reminders->onNotice = [this](const QString& text) { m_statusItem->setToolTip(text); };
  m_reminders->openAction = [this](const Shortcut& shortcut, ShortcutOpener::Completion completion) {
    m_opener.open(shortcut, *m_shortcutStore, completion);
  };
}
