// The Qt shell's own pieces, on Qt's offscreen platform: what they draw and
// show is checked by pixels and by the widgets they make.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QKeyEvent>
#include <QLocalSocket>
#include <QPointer>
#include <QTemporaryDir>

#include <functional>
#include <string>

#include "../settings_memory_fs.h"
#include "app/desktop_notices_qt.h"
#include "app/sim_channel_qt.h"
#include "app/single_instance_qt.h"
#include "app/tray_qt.h"
#include "app/tray_rules.h"
#include "dialogs/dialog_names.h"
#include "dialogs/skin_dialog_qt.h"
#include "dialogs/skins_dialog_qt.h"
#include "ui/color_chooser.h"
#include "ui/file_chooser.h"
#include "ui/skin_files.h"
#include "device/clock.h"
#include "ui/color_chooser.h"
#include "device/device_link.h"
#include "macro/macro_store.h"
#include "pages/page_host_qt.h"
#include "pages/page_pointer.h"
#include "profiles/foreground_watch_qt.h"
#include "profiles/library_reader.h"
#include "settings/app_paths.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/settings_session.h"
#include "lang/main_texts.h"
#include "sim/sim_mouse.h"
#include "ui/image_cache_qt.h"
#include "view/controls_qt.h"
#include "view/main_window_qt.h"
#include "view/osd_window_qt.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

bool Pump(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class SkinFolder : public ::testing::Test {
 protected:
  void Picture(const QString& name, int width, int height, Qt::GlobalColor color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(dir.filePath(name)));
  }
  void Garbage(const QString& name) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
  }
  std::wstring folder() const { return dir.path().toStdWString(); }
  QTemporaryDir dir;
};

// Qt reads a ratio of 2 from an "@2x" name and would draw the picture at
// half its size; a scaled file that cannot be read gives way to the next set.
TEST_F(SkinFolder, EachScaleTakesItsSetAtTheSizeTheSceneMaps) {
  Picture("x.png", 10, 6, Qt::red);
  Picture("x@2x.png", 20, 12, Qt::green);
  Garbage("x@1.5x.png");
  struct Case {
    int dpi;
    QSize size;
    QColor color;
  };
  for (const Case& c : {Case{96, {10, 6}, Qt::red}, Case{192, {20, 12}, Qt::green},
                        Case{144, {15, 9}, Qt::green},  // the 2x set reduced: the 1.5x file is unreadable
                        Case{120, {13, 8}, Qt::green}}) {
    const QImage image = LoadSkinPictureQt(folder(), L"/x.png", c.dpi);
    EXPECT_EQ(image.size(), c.size) << c.dpi;
    EXPECT_EQ(image.devicePixelRatio(), 1.0) << c.dpi;
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), c.color) << c.dpi;
  }
  Garbage("x@2x.png");  // every scaled file unreadable: the 1x picture, enlarged
  EXPECT_EQ(LoadSkinPictureQt(folder(), L"/x.png", 192).size(), QSize(20, 12));
  EXPECT_EQ(LoadSkinPictureQt(folder(), L"/x.png", 192).pixelColor(10, 6), QColor(Qt::red));

  ImageCacheQt cache;
  ASSERT_NE(cache.Get(folder(), L"/x.png", 96), nullptr);
  EXPECT_EQ(cache.Get(folder(), L"/x.png", 96)->size(), QSize(10, 6));
  EXPECT_EQ(cache.Get(folder(), L"/x.png", 192)->size(), QSize(20, 12));  // another scale empties the cache
  EXPECT_EQ(cache.Get(folder(), L"/none.png", 96), nullptr);
}

TEST(SceneQt, FillsMapEdgeByEdgeAndSingleLinesStayInTheirRectangle) {
  Scene scene;
  scene.AddFill({1, 1, 3, 3}, {255, 0, 0});
  scene.AddFill({3, 3, 5, 5}, {0, 0, 255});  // touches the first at 96 DPI
  const std::wstring noFolder;
  ImageCacheQt noPictures;
  SceneResourcesQt at144{noFolder, noPictures};
  at144.dpi = 144;
  const QImage picture = RenderSceneQt(scene, {10, 10}, at144);
  ASSERT_EQ(picture.size(), QSize(15, 15));
  // 1 -> 2 (1.5 rounds away from zero), 3 -> 5 (4.5), 5 -> 8 (7.5).
  EXPECT_EQ(picture.pixelColor(1, 1), QColor(Qt::black));
  EXPECT_EQ(picture.pixelColor(2, 2), QColor(Qt::red));
  EXPECT_EQ(picture.pixelColor(4, 4), QColor(Qt::red));
  EXPECT_EQ(picture.pixelColor(5, 5), QColor(Qt::blue));  // touching still: no gap, no overlap
  EXPECT_EQ(picture.pixelColor(7, 7), QColor(Qt::blue));
  EXPECT_EQ(picture.pixelColor(8, 8), QColor(Qt::black));

  Scene text;
  text.AddText(L"WWWWWWWWWWWWWWWW", {2, 2, 12, 18}, ui::kTextLeft, {255, 255, 255});
  SceneResourcesQt at96{noFolder, noPictures};
  at96.normalFont = SkinFontQt({L"Arial", 14, 400}, 96);
  const QImage drawn = RenderSceneQt(text, {60, 20}, at96);
  int inside = 0;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      if (drawn.pixelColor(x, y) == QColor(Qt::black)) continue;
      EXPECT_TRUE(x >= 2 && x < 12 && y >= 2 && y < 18) << "ink at " << x << "," << y;
      ++inside;
    }
  }
  EXPECT_GT(inside, 10);

  // A heading a little wider than its box in this system's stand-in face is
  // narrowed to it: no glyph is cut at either edge of the box.
  Scene heading;
  heading.AddText(L"Report Rate Setting", {10, 2, 110, 18}, ui::kTextCentre, {255, 255, 255});
  ASSERT_GT(QFontMetrics(at96.normalFont).horizontalAdvance(QStringLiteral("Report Rate Setting")), 100);
  const QImage narrowed = RenderSceneQt(heading, {120, 20}, at96);
  const auto inkIn = [&](int x) {
    for (int y = 0; y < narrowed.height(); ++y)
      if (narrowed.pixelColor(x, y) != QColor(Qt::black)) return true;
    return false;
  };
  EXPECT_FALSE(inkIn(10));
  EXPECT_FALSE(inkIn(109));
  EXPECT_TRUE(inkIn(12) || inkIn(13));  // the R's stem, just inside

  // Wrapped in a box of two Windows lines: a word goes whole to the next
  // line, and the lines come closer than this face spaces them, so no ink
  // leaves the box.
  const QFontMetrics metrics(at96.normalFont);
  ASSERT_GT(metrics.lineSpacing() * 2, 28);
  const int width = metrics.horizontalAdvance(QStringLiteral("Times relea"));
  Scene wrapped;
  wrapped.AddText(L"Times released", {2, 2, 2 + width, 30}, ui::kTextWrapLeftAnywhere, {255, 255, 255});
  const QImage lines = RenderSceneQt(wrapped, {width + 10, 40}, at96);
  const int firstWordEnds = 2 + metrics.horizontalAdvance(QStringLiteral("Times "));
  for (int y = 0; y < lines.height(); ++y) {
    for (int x = 0; x < lines.width(); ++x) {
      if (lines.pixelColor(x, y) == QColor(Qt::black)) continue;
      EXPECT_TRUE(y >= 2 && y < 30) << "ink at " << x << "," << y;
      EXPECT_FALSE(y < 14 && x > firstWordEnds) << "the second word began on the first line: " << x << "," << y;
    }
  }
}

// The layout's heights are Windows cell heights: the characters take the
// named face's share of the cell, not the stand-in's.
TEST(SceneQt, FontsTakeTheCharacterSizeOfTheNamedFaceAtEachScale) {
  EXPECT_EQ(SkinFontQt({L"Arial", 14, 400}, 96).pixelSize(), 13);   // 14 / 1.117
  EXPECT_EQ(SkinFontQt({L"Arial", 14, 400}, 192).pixelSize(), 25);  // 28 / 1.117
  EXPECT_EQ(SkinFontQt({L"黑体", 13, 400}, 96).pixelSize(), 13);
  EXPECT_EQ(SkinFontQt({L"Tahoma", 18, 700}, 144).pixelSize(), 22);  // 27 / 1.207
  EXPECT_EQ(SkinFontQt({L"Tahoma", 18, 700}, 144).weight(), QFont::Bold);
  EXPECT_EQ(SkinFontQt({L"Arial", -30, 700}, 144).pixelSize(), 45);  // a character height as it is
}

TEST(TrayQt, TheMenuShowsThePortableItemsWithTheirStatesAndCommands) {
  const TrayMenu items = {{0, L"Profiles", false, true, {{1032, L"Desktop", true, true, {}}, {1100, L"Game", false, false, {}}}},
                          {kTrayMenuImportProfileCommand, L"Import", false, false, {}},
                          {kTrayMenuStartWithWindowsCommand, L"Start", true, true, {}},
                          {kTrayMenuExitCommand, L"Exit", false, true, {}}};
  QMenu menu;
  FillTrayMenu(menu, items);
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 4);
  ASSERT_NE(actions[0]->menu(), nullptr);
  const QList<QAction*> profiles = actions[0]->menu()->actions();
  ASSERT_EQ(profiles.size(), 2);
  EXPECT_TRUE(profiles[0]->isChecked());
  EXPECT_EQ(profiles[0]->data().toUInt(), 1032u);
  EXPECT_FALSE(profiles[1]->isEnabled());
  EXPECT_FALSE(actions[1]->isEnabled());
  EXPECT_TRUE(actions[2]->isChecked());
  EXPECT_FALSE(actions[3]->isCheckable());
  EXPECT_EQ(actions[3]->data().toUInt(), kTrayMenuExitCommand);
}

// A socket file left by a copy that was killed must not keep the program
// from starting; a second copy must reach the first.
TEST(SingleInstanceQt, TheSecondClaimAsksTheFirstToShowAndAStaleSocketIsNoCopy) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("kovral.sock").toStdString();
  QFile stale(QString::fromStdString(path));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  int shown = 0;
  SingleInstanceQt first;
  ASSERT_TRUE(first.Claim(path, [&shown] { ++shown; }));
  SingleInstanceQt second;
  EXPECT_FALSE(second.Claim(path, [] { ADD_FAILURE() << "the second copy was asked"; }));
  EXPECT_TRUE(Pump([&shown] { return shown == 1; }));
}

TEST(SimChannelQt, ACommandLineIsRunAndAnsweredOverTheSocket) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("simctl.sock").toStdString();
  ManualClock clock;
  SimMouse mouse(clock);
  std::vector<std::string> ran;
  SimChannelQt channel(mouse, [&ran](const std::string& command) { ran.push_back(command); });
  ASSERT_TRUE(channel.Listen(path));
  auto send = [&](const QByteArray& request) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(1000)) return QByteArray("no connection");
    socket.write(request);
    QByteArray reply;
    Pump([&] {
      reply += socket.readAll();
      return reply.endsWith('\n') || socket.state() == QLocalSocket::UnconnectedState;
    });
    return reply;
  };
  EXPECT_EQ(send("unplug\n"), "1\n");
  EXPECT_FALSE(mouse.Plugged());
  EXPECT_EQ(send("unplug\n"), "3 the simulated mouse is already unplugged\n");
  EXPECT_EQ(send("plug\r\n"), "1\n");
  EXPECT_TRUE(mouse.Plugged());
  EXPECT_EQ(ran, (std::vector<std::string>{"unplug", "plug"}));  // only what was carried out
  // A client that sends no line in sight is dropped, and nothing runs.
  QLocalSocket flood;
  flood.connectToServer(QString::fromStdString(path));
  ASSERT_TRUE(flood.waitForConnected(1000));
  flood.write(QByteArray(8192, 'x'));
  EXPECT_TRUE(Pump([&flood] { return flood.state() == QLocalSocket::UnconnectedState; }));
  EXPECT_EQ(ran.size(), 2u);
}

// The tests run at a device pixel ratio of 2 (main): the window paints and
// places by the one mapping at 192 DPI, never by Qt's scaling of its own.
TEST(MainWindowQt, PaintsAndMapsThePointerAtItsScale) {
  MainWindowQt window;
  ASSERT_EQ(window.Dpi(), 192);
  window.SetUnitSize({40, 30});
  EXPECT_EQ(window.size(), QSize(40, 30));  // logical pixels: units at a whole ratio
  Scene scene;
  scene.AddFill({0, 0, 40, 30}, {0, 0, 0});
  scene.AddFill({10, 10, 20, 20}, {255, 0, 0});
  window.SetScene(std::move(scene));
  const QImage shot = window.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(80, 60));
  EXPECT_EQ(shot.pixelColor(19, 19), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(39, 39), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(40, 40), QColor(Qt::black));
  // A point in logical pixels is on the unit its device pixel belongs to.
  EXPECT_EQ(window.UnitPointOf(QPointF(10.75, 19.5)).x, 10);
  EXPECT_EQ(window.UnitPointOf(QPointF(10.75, 19.5)).y, 19);
  EXPECT_EQ(window.WidgetRect({3, 4, 9, 12}), QRect(3, 4, 6, 8));
}

// The window keeps the picture of the skin it started with under a scene
// that draws from another skin's folder.
TEST_F(SkinFolder, TheWindowsOwnPictureLiesUnderTheScene) {
  Picture("main.png", 20, 10, Qt::red);
  Picture("main@2x.png", 40, 20, Qt::red);
  MainWindowQt window;
  window.SetUnitSize({20, 10});
  window.SetBackground(folder());
  window.SetSkin(L"/no/such/skin", {});
  Scene scene;
  scene.AddFill({0, 0, 5, 10}, {0, 0, 255});
  window.SetScene(std::move(scene));
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(30, 15), QColor(Qt::red));
}

// The roles each control paints with carry the Win32 control colours: a
// swatch shows its stage's colour, a macro list its dark brush and the
// user's text colour, a drop-down list white on black.
TEST(ControlsQt, ControlsTakeTheirColoursAndPlaces) {
  MainWindowQt window;
  window.SetUnitSize({300, 200});
  const uint8_t stageColours[12] = {1, 2, 3, 200, 10, 20, 0, 0, 0, 0, 0, 0};
  const ControlLook look{stageColours, {250, 240, 0}, SkinFontQt({L"Arial", 14, 400}, 96)};
  QWidget* swatch = MakeSkinnedControl(window, ControlType::Static, 72, {10, 20, 30, 30}, L"", look);
  ASSERT_NE(qobject_cast<QLabel*>(swatch), nullptr);
  EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(200, 10, 20));
  EXPECT_TRUE(swatch->autoFillBackground());
  EXPECT_EQ(swatch->geometry(), QRect(10, 20, 20, 10));
  QWidget* macros = MakeSkinnedControl(window, ControlType::ListBox, 151, {0, 0, 100, 100}, L"", look);
  ASSERT_NE(qobject_cast<QListWidget*>(macros), nullptr);
  EXPECT_EQ(macros->palette().color(QPalette::Base), QColor(4, 5, 6));
  EXPECT_EQ(macros->palette().color(QPalette::Text), QColor(250, 240, 0));
  QWidget* dropDown = MakeSkinnedControl(window, ControlType::ListBox, 300, {0, 0, 100, 100}, L"", look);
  EXPECT_EQ(dropDown->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(dropDown->palette().color(QPalette::Text), QColor(Qt::white));
}

// The panel takes nothing from the window in front: no focus, no clicks;
// and it is gone once its time is over.
TEST(OsdWindowQt, ShowsThePanelWithoutFocusOrClicksAndGoesAfterItsTime) {
  const OsdLook look = MakeOsdLook({0, 200, 255}, {255, 255, 255});
  const OsdNotice notice{L"DPI 1600", L"stage 2 of 4", ui::Rgb{255, 0, 0}, L"DPI 1600 stage 2 of 4"};
  const QImage panel = RenderOsdQt(notice, look, 192, L"EN");
  ASSERT_FALSE(panel.isNull());
  EXPECT_EQ(panel.pixelColor(0, 0), QColor(0, 200, 255));  // the border in the skin's accent
  int red = 0;
  for (int y = 0; y < panel.height(); ++y)
    for (int x = 0; x < panel.width() / 3; ++x) red += panel.pixelColor(x, y) == QColor(Qt::red);
  EXPECT_EQ(red, 36 * 36) << "the swatch (18 units inside its frame) is not drawn at 200 %";

  OsdWindowQt window;
  window.ShowNotice(notice, look, OsdPosition::TopCentre, L"EN");
  ASSERT_TRUE(window.isVisible());
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
  EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_NE(QApplication::activeWindow(), &window);
  EXPECT_EQ(window.size(), panel.size() / 2);
  EXPECT_TRUE(Pump([&window] { return !window.isVisible(); }, kOsdHoldMs + kOsdFadeMs + 1000));
}

// The pages on the Qt shell, with the record in memory and the simulated
// mouse; the window is scaled by 2, as main() asks.
class QuietPointer final : public PointerSettingsApi {
 public:
  bool GetMouse(int&, int&, int&) override { return true; }
  bool GetMouseSpeed(int&) override { return true; }
  bool GetWheelScrollLines(uint32_t&) override { return true; }
  bool GetDoubleClickTime(uint32_t&) override { return true; }
  bool SetMouse(int, int, int) override { return true; }
  bool SetMouseSpeed(int) override { return true; }
  bool SetWheelScrollLines(uint32_t) override { return true; }
  bool SetDoubleClickTime(uint32_t) override { return true; }
};

class NoDialogs final : public AssignmentDialogs {
 public:
  std::optional<ChoiceResult> RunWindowsDialog() override { return std::nullopt; }
  std::optional<ChoiceResult> RunMediaDialog() override { return std::nullopt; }
  std::optional<FireKeyResult> RunFireKeyDialog() override { return std::nullopt; }
  std::optional<std::wstring> RunSingleKeyDialog() override { return std::nullopt; }
  std::optional<ComboKeyResult> RunComboDialog() override { return std::nullopt; }
  std::optional<MacroKeyResult> RunMacroDialog(std::vector<std::wstring>) override { return std::nullopt; }
  std::optional<DelayTimeResult> RunDelayDialog() override { return std::nullopt; }
};

layout::Point Middle(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct PagesOnQt {
  ManualClock clock;
  SimMouse mouse{clock, SimOptions{}};
  SimHidPlatform platform{mouse};
  RecordingMessageSink messages;
  DeviceLink link{platform, messages, clock};
  DeviceImage image{};
  testing::MemoryFileSystem files;
  FileIniStore ini{files};
  SettingsSession settings{PathsFromModulePath(L"/k/kovral"), ini, files, messages};
  QuietPointer api;
  SystemPointerSettings pointer{api, messages};
  FixedColorChooser colors{std::nullopt};
  NoDialogs dialogs;
  MainWindowQt window;
  PageHostQt pages{{window, settings, link, image, pointer, messages, colors, dialogs}};
  PagesOnQt() {
    settings.config = settings.committedConfig = FactoryConfig();
    window.SetUnitSize({850, 620});
    pages.SetLook({L"", {255, 255, 255}, &MainTextsFor(UiLanguage::English), L"EN"});
    pages.state().SettingsReadOnce = true;  // no mouse is asked
    window.show();
  }
  QListWidget* List(int id) { return window.findChild<QListWidget*>(QStringLiteral("control%1").arg(id)); }
  std::vector<std::wstring> Items(int id) {
    std::vector<std::wstring> items;
    if (QListWidget* list = List(id))
      for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdWString());
    return items;
  }
};

// X names a key by its code plus 8, which the shell takes off; a repeat's
// release is no release, and the repeat itself is the recorder's to drop.
TEST(PagesQt, AKeyOfTheWindowReachesTheRecordingAsItsKeyName) {
  PagesOnQt h;
  ConfirmMacro(h.ini, h.settings.paths().recordIni, L"M", {}, h.settings.config);
  h.pages.Show(kAdvancedPage);
  EXPECT_FALSE(h.pages.CapturedKey(30, false, false)) << "captured before the recording";
  ASSERT_TRUE(h.pages.PageClick(layout::Point{750, 243}));  // Start Recording
  ASSERT_TRUE(h.pages.Capturing());
  EXPECT_TRUE(h.pages.CapturedKey(30, false, false));  // KEY_A
  EXPECT_TRUE(h.pages.CapturedKey(30, true, true));
  EXPECT_TRUE(h.pages.CapturedKey(30, false, true));
  EXPECT_TRUE(h.pages.CapturedKey(30, true, false));
  const std::vector<std::wstring> sequence = h.Items(layout::kSequenceListId);
  ASSERT_FALSE(sequence.empty());
  EXPECT_EQ(sequence.front().substr(0, 1), L"A");
  EXPECT_NE(sequence.front().find(L"Dn"), std::wstring::npos);
  EXPECT_NE(sequence.back().find(L"Up"), std::wstring::npos);
  EXPECT_EQ(std::count_if(sequence.begin(), sequence.end(),
                          [](const std::wstring& e) { return e.find(L"Up") != std::wstring::npos; }),
            1);
}

constexpr int kDpiSwitchEntry = 6;  // "DPI Switch" in a key list

// The DPI sub-list opens beside "DPI Switch" of the key list, at its right
// edge and top, wherever the scaled list put that entry.
TEST(PagesQt, TheDpiSubListOpensBesideItsEntryAtRatioTwo) {
  PagesOnQt h;
  ASSERT_EQ(h.window.devicePixelRatioF(), 2.0);
  h.pages.Show(kBasicPage);
  ASSERT_TRUE(h.pages.PageClick(Middle(layout::KeyRowRect(2))));
  QListWidget* keys = h.List(layout::kKeyListIdBase + 2);
  ASSERT_NE(keys, nullptr);
  ASSERT_GT(keys->count(), kDpiSwitchEntry);
  emit keys->itemEntered(keys->item(kDpiSwitchEntry));  // the pointer rests on it
  QListWidget* sub = h.List(layout::kKeyListIdBase);
  ASSERT_NE(sub, nullptr);
  const QRect entry = keys->visualItemRect(keys->item(kDpiSwitchEntry));
  const QPoint corner = keys->viewport()->mapTo(&h.window, QPoint(entry.right() + 1, entry.top()));
  EXPECT_NEAR(sub->geometry().left(), corner.x(), 1);
  EXPECT_NEAR(sub->geometry().top(), corner.y(), 1);

  // Esc in the list is the list's: it closes, and the window stays.
  ASSERT_TRUE(h.pages.PageClick(Middle(layout::KeyRowRect(3))));
  QListWidget* third = h.List(layout::kKeyListIdBase + 3);
  ASSERT_NE(third, nullptr);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(third, &escape);
  EXPECT_FALSE(third->isVisible());
  EXPECT_TRUE(h.window.isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(h.pages.PageClick(Middle(layout::KeyRowRect(2))));
  keys = h.List(layout::kKeyListIdBase + 2);
  ASSERT_NE(keys, nullptr);

  // A press that chooses closes the list inside its own signal: it hides at
  // once and goes once the signal is over.
  keys->blockSignals(true);
  keys->setCurrentRow(2);
  keys->blockSignals(false);
  const QPointer<QListWidget> pressed(keys);
  emit keys->itemPressed(keys->item(2));
  ASSERT_TRUE(pressed);
  EXPECT_FALSE(pressed->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(pressed);
  EXPECT_EQ(h.settings.ui.buttonText[1], L"Mid Click");
}

// A skin with a dialog's face in two sets, red at 1x and green at 2x, and
// every picture of the frame, so nothing is missing but what a test leaves out.
class DialogSkin : public SkinFolder {
 protected:
  void SetUp() override {
    const layout::DialogFace& face = layout::DialogFaceOf(kind);
    const QString name = QString::fromWCharArray(face.background + 1);
    Picture(name, face.size.width, face.size.height, Qt::red);
    Picture(name.chopped(4) + QStringLiteral("@2x.png"), face.size.width * 2, face.size.height * 2, Qt::green);
    for (const layout::Element& e : layout::DialogFrameElements())
      for (const wchar_t* file : {e.normalImage, e.overImage})
        if (file) Picture(QString::fromWCharArray(file + 1), 4, 4, Qt::transparent);
  }
  DialogEnvironment environment() const { return {folder(), {255, 255, 255}, L"EN"}; }
  layout::DialogKind kind = layout::DialogKind::Single;
};

void Press(QWidget& widget, layout::Point unit, Qt::MouseButton button = Qt::LeftButton) {
  const QPointF at(unit.x, unit.y);  // units are logical pixels at a whole ratio
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &press);
}

void Key(QWidget& widget, QEvent::Type type, unsigned evdevCode, bool autoRepeat = false) {
  QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, evdevCode + 8, 0, 0, QString(), autoRepeat);
  QCoreApplication::sendEvent(&widget, &key);
}

// At a ratio of 2 the face comes from the @2x set, not the 1x one enlarged,
// and the dialog opens centred over the window it belongs to.
TEST_F(DialogSkin, TheFaceIsTheSetOfTheRatioCentredOverItsWindow) {
  QWidget owner;
  owner.setGeometry(100, 80, 600, 500);
  owner.show();
  CSingleDialog dialog(environment());
  QImage shot;
  QPoint at;
  QTimer::singleShot(0, &dialog, [&] {
    shot = dialog.grab().toImage();
    at = dialog.pos();
    dialog.model().OnCancel();
  });
  EXPECT_EQ(dialog.RunModal(&owner), kDialogCancel);
  const layout::Size face = layout::DialogFaceOf(kind).size;
  ASSERT_EQ(shot.size(), QSize(face.width * 2, face.height * 2));
  EXPECT_EQ(shot.pixelColor(3, face.height), QColor(Qt::green));
  const QRect frame = owner.frameGeometry();
  EXPECT_EQ(at, QPoint(frame.x() + (frame.width() - face.width) / 2, frame.y() + (frame.height() - face.height) / 2));
}

// Keys come from the dialog's own events while it captures: a Linux key
// code names the key the tables name; a held key's repeated release (X11
// sends one before each repeat) is no release; Enter, swallowed by the
// model, does not end the dialog, and OK keeps the key caught.
TEST_F(DialogSkin, CapturedKeysReachTheModelByTheirLinuxNames) {
  CSingleDialog dialog(environment());
  std::vector<std::wstring> seen;
  QTimer::singleShot(0, &dialog, [&] {
    Key(dialog, QEvent::KeyPress, 97);  // KEY_RIGHTCTRL
    seen.push_back(dialog.keyName);
    Key(dialog, QEvent::KeyRelease, 30, true);  // KEY_A, repeating
    seen.push_back(dialog.keyName);
    Key(dialog, QEvent::KeyPress, 28);  // KEY_ENTER
    seen.push_back(dialog.isVisible() ? dialog.keyName : L"ended");
    Key(dialog, QEvent::KeyPress, 97);
    Press(dialog, {layout::kDialogOk.left + 5, layout::kDialogOk.top + 5});
  });
  EXPECT_EQ(dialog.RunModal(), kDialogOk);
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"Right Ctrl", L"Right Ctrl", L"Enter"}));
  EXPECT_EQ(dialog.keyName, L"Right Ctrl");
}

// The pop-up list lights the entry under the pointer without choosing it;
// a click on the face outside it closes it; a press on an entry chooses.
TEST_F(DialogSkin, ThePopUpListFollowsThePointerAndAClickOutsideClosesIt) {
  kind = layout::DialogKind::Windows;
  SetUp();
  CWindowsDialog dialog(environment());
  const layout::Point field{layout::choice::kField.right - 4, layout::choice::kField.top + 4};
  QTimer::singleShot(5000, &dialog, [&] { dialog.model().OnCancel(); });  // a failed step must not hang
  QTimer::singleShot(0, &dialog, [&] {
    Press(dialog, field);
    QListWidget* list = dialog.openList();
    ASSERT_NE(list, nullptr);
    const QRect third = list->visualItemRect(list->item(2));
    QMouseEvent move(QEvent::MouseMove, third.center(), list->viewport()->mapToGlobal(third.center()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_FALSE(dialog.chosen);
    const QPointer<QListWidget> closing(list);
    Press(dialog, {300, 100});
    EXPECT_EQ(dialog.openList(), nullptr);
    EXPECT_TRUE(closing.isNull() || !closing->isVisible());
    Press(dialog, field);
    list = dialog.openList();
    ASSERT_NE(list, nullptr);
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, second, list->viewport()->mapToGlobal(second), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    EXPECT_EQ(dialog.openList(), nullptr);
    dialog.model().OnOk();
  });
  EXPECT_EQ(dialog.RunModal(), kDialogOk);
  EXPECT_TRUE(dialog.chosen);
  EXPECT_EQ(dialog.position, 1);
}

// The mouse goes while a key dialog asks something: the box over it closes
// and the dialog ends as cancelled, so the window's loop can go on.
TEST_F(DialogSkin, TheDeviceGoingEndsADeviceDialogWithTheBoxOverIt) {
  CSingleDialog dialog(environment());
  bool asked = false;
  QTimer::singleShot(0, &dialog, [&] {
    QTimer::singleShot(0, &dialog, [&] {
      asked = QApplication::activeModalWidget() != &dialog;
      CSkinDialog::CancelDeviceDialogs();
    });
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("?"), QStringLiteral("?"), QMessageBox::Ok, &dialog);
    box.exec();
    EXPECT_FALSE(CSkinDialog::AnyRunningOver(nullptr));
  });
  EXPECT_EQ(dialog.RunModal(), kDialogCancel);
  EXPECT_TRUE(asked);
}


void Type(QWidget& widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(&widget, &key);
  }
}

// The speed box takes digits only and is checked when it is left; the
// times box as it is typed.
TEST_F(DialogSkin, FireKeyEditsTakeDigitsAndAreCheckedWhereWindowsChecksThem) {
  kind = layout::DialogKind::FireKey;
  SetUp();
  CFireKeyDialog dialog(environment());
  QTimer::singleShot(0, &dialog, [&] {
    auto* speed = dialog.findChild<QLineEdit*>(QStringLiteral("control%1").arg(kFireSpeedEdit));
    auto* times = dialog.findChild<QLineEdit*>(QStringLiteral("control%1").arg(kFireTimesEdit));
    if (speed && times) {
      speed->clear();
      Type(*speed, QStringLiteral("9x99"));
      EXPECT_EQ(speed->text(), QStringLiteral("999"));  // not yet: a half-typed number is no mistake
      QFocusEvent left(QEvent::FocusOut);
      QCoreApplication::sendEvent(speed, &left);
      EXPECT_EQ(speed->text(), QStringLiteral("5"));  // out of range: the slowest speed
      times->selectAll();
      Type(*times, QStringLiteral("25"));
      EXPECT_EQ(times->text(), QStringLiteral("25"));
      Type(*times, QStringLiteral("6"));
      EXPECT_EQ(times->text(), QStringLiteral("1"));
    }
    dialog.model().OnCancel();
  });
  dialog.RunModal();
  EXPECT_NE(dialog.findChild<QLineEdit*>(QStringLiteral("control%1").arg(kFireSpeedEdit)), nullptr);
}

// The skins listed are the user's own and the installed ones, and the one
// chosen is a folder Linux can open.
TEST_F(DialogSkin, TheSkinChosenIsAFolderThatOpens) {
  kind = layout::DialogKind::Skins;
  for (const QString& name : {QStringLiteral("Skins/Default"), QStringLiteral("Skins/Ember"),
                              QStringLiteral("user/Skins/Mine")}) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(name));
    for (const wchar_t* file : skin::AllFiles()) Picture(name + QString::fromWCharArray(file), 4, 4, Qt::blue);
  }
  const std::wstring home = folder() + L"/Skins/Default";
  FixedColorChooser colors(std::nullopt);
  CSkinsDialog dialog({home, {255, 255, 255}, L"EN"}, L"Default", colors, {folder() + L"/user/", folder() + L"/"});
  QTimer::singleShot(5000, &dialog, [&] { dialog.model().OnCancel(); });
  QTimer::singleShot(0, &dialog, [&] {
    QTimer::singleShot(50, [] {  // a refused skin's message would wait for OK
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
    });
    Press(dialog, {layout::skins::kField.right - 4, layout::skins::kField.top + 4});
    QListWidget* list = dialog.openList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Mine"));
    const QPoint mine = list->visualItemRect(list->item(0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, mine, list->viewport()->mapToGlobal(mine), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    dialog.model().OnOk();
  });
  EXPECT_EQ(dialog.RunModal(), kDialogOk);
  EXPECT_EQ(dialog.chosenSkinName, L"Mine");
  EXPECT_EQ(dialog.chosenSkinFolder, folder() + L"/user//Skins/Mine");
  EXPECT_TRUE(QFileInfo(QString::fromStdWString(dialog.chosenSkinFolder + skin::kMain)).isFile());
}

// The profile folder's watch: while the folder is missing, its making
// beside it (a file there is no change); then what is written in it. Arming
// it again, from the folder above to the folder or on the same folder, is no
// change, or the reader would read for ever.
TEST(FolderWatchQt, TellsTheFoldersMakingAndItsFilesButNotItsOwnArming) {
  QTemporaryDir dir;
  const std::wstring folder = dir.path().toStdWString() + L"/Profiles";
  int changes = 0;
  const std::unique_ptr<FolderWatch> watch = MakeSystemFolderWatch([&changes] { ++changes; });
  watch->Watch(folder);
  const auto write = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
  };
  ASSERT_TRUE(write(dir.filePath(QStringLiteral("str.ini"))));
  Pump([] { return false; }, 300);
  EXPECT_EQ(changes, 0) << "a file beside the folder counted";
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Profiles")));
  ASSERT_TRUE(Pump([&changes] { return changes > 0; }));

  watch->Watch(folder);
  watch->Watch(folder);
  Pump([] { return false; }, 300);
  EXPECT_EQ(changes, 1);

  ASSERT_TRUE(write(dir.filePath(QStringLiteral("Profiles/one.kvprofile"))));
  EXPECT_TRUE(Pump([&changes] { return changes > 1; }));
}

// Without an X display (a Wayland session without XWayland) the front is
// always the desktop, and the watch still runs, so the follower is asked.
TEST(ForegroundX11, WithoutADisplayTheFrontIsTheDesktop) {
  const QByteArray display = qgetenv("DISPLAY");
  qunsetenv("DISPLAY");
  {
    X11ForegroundSource source;
    int told = 0;
    source.Start([&told] { ++told; });
    EXPECT_TRUE(source.running());
    EXPECT_EQ(source.FrontWindowId(), 0u);
    EXPECT_EQ(source.Describe(0), FrontWindow{});
    EXPECT_EQ(source.Describe(0x400000), FrontWindow{});
    EXPECT_TRUE(source.OpenWindows().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(told, 0);
    source.Stop();
    EXPECT_FALSE(source.running());
  }
  if (!display.isEmpty()) qputenv("DISPLAY", display);
}

// The colour dialog opens at the colour in use and gives the one chosen.
TEST(ChoosersQt, TheColourDialogStartsAtTheColourInUse) {
  QColor shown;
  QTimer::singleShot(0, [&shown] {
    auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    shown = dialog->currentColor();
    dialog->setCurrentColor(QColor(10, 20, 30));
    static_cast<QDialog*>(dialog)->accept();
  });
  const std::optional<ui::Rgb> chosen = MakeSystemColorChooser()->Choose(nullptr, {200, 100, 50});
  EXPECT_EQ(shown, QColor(200, 100, 50));
  EXPECT_EQ(chosen, (ui::Rgb{10, 20, 30}));
}

// Saving proposes the name and adds the type's extension to a name typed
// without one; every file is "*", a Linux name need not have a dot; opening
// takes only a file that is there.
TEST(ChoosersQt, TheFileDialogFiltersProposesAndCompletesNames) {
  QTemporaryDir dir;
  const FileChoice choice{L"Export", L"Profile", L"kvp", L"All files", L"mine.kvp"};
  QStringList filters;
  QStringList proposed;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    filters = dialog->nameFilters();
    proposed = dialog->selectedFiles();
    dialog->selectFile(dir.filePath(QStringLiteral("typed")));
    static_cast<QDialog*>(dialog)->accept();
  });
  const std::unique_ptr<FileChooser> files = MakeSystemFileChooser();
  const std::optional<std::wstring> saved = files->ChooseSave(nullptr, choice);
  EXPECT_EQ(filters, (QStringList{QStringLiteral("Profile (*.kvp)"), QStringLiteral("All files (*)")}));
  ASSERT_EQ(proposed.size(), 1);
  EXPECT_TRUE(proposed.front().endsWith(QStringLiteral("/mine.kvp")));
  EXPECT_EQ(saved, dir.filePath(QStringLiteral("typed.kvp")).toStdWString());

  std::optional<QFileDialog::FileMode> mode;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    mode = dialog->fileMode();
    dialog->reject();
  });
  EXPECT_EQ(files->ChooseOpen(nullptr, choice), std::nullopt);
  EXPECT_EQ(mode, QFileDialog::ExistingFile);
}


// OK lights under the pointer and goes out when it leaves: the moves reach
// the model without a button held, and its repaint reaches the screen.
TEST_F(DialogSkin, OkLightsUnderThePointer) {
  const layout::Element* ok = nullptr;
  for (const layout::Element& e : layout::DialogFrameElements())
    if (e.action == layout::Action::DialogOk) ok = &e;
  ASSERT_TRUE(ok && ok->overImage);
  Picture(QString::fromWCharArray(ok->overImage + 1), 8, 8, Qt::blue);
  CSingleDialog dialog(environment());
  std::vector<QColor> seen;
  const auto moveTo = [&dialog](QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, dialog.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &move);
    Pump([] { return false; }, 60);  // past the hover time
  };
  QTimer::singleShot(0, &dialog, [&] {
    const QPoint corner(ok->rect.left + 2, ok->rect.top + 2);
    moveTo(QPointF(ok->rect.left + 4, ok->rect.top + 4));
    seen.push_back(dialog.grab().toImage().pixelColor(corner * 2));
    moveTo(QPointF(10, 100));
    seen.push_back(dialog.grab().toImage().pixelColor(corner * 2));
    dialog.model().OnCancel();
  });
  dialog.RunModal();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], QColor(Qt::blue));
  EXPECT_NE(seen[1], QColor(Qt::blue));
}

// A notification server on a session bus of the test's own: it keeps the
// arguments of every Notify and answers each with a new id (41, 42, ...).
class FakeNotificationServer final : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    calls.push_back(message.arguments());
    return connection.send(message.createReply(QVariant::fromValue(static_cast<uint32_t>(40 + calls.size()))));
  }
  std::vector<QList<QVariant>> calls;
};

// The call a server gets, each notice replacing the one before; the tray's
// balloon once no server answers.
TEST(DesktopNoticesQt, ABalloonIsTheServersNotifyElseTheTrays) {
  QProcess daemon;
  daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
  ASSERT_TRUE(Pump([&] { return daemon.canReadLine(); })) << "dbus-daemon did not start (package dbus-daemon)";
  const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
  QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("kv-server"));
  FakeNotificationServer fake;
  ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &fake));
  ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
  std::vector<std::wstring> fallbacks;
  auto fallback = [&](const Balloon& b) { fallbacks.push_back(b.text); };
  DesktopNoticesQt notices(QDBusConnection::connectToBus(address, QStringLiteral("kv-program")),
                           QImage(16, 16, QImage::Format_ARGB32), fallback);
  notices.Show({L"Warning", L"The mouse is not connected.", 3000, BalloonIcon::Warning});
  ASSERT_TRUE(Pump([&] { return notices.shownId() == 41; }));
  const QList<QVariant> args = fake.calls.at(0);
  ASSERT_EQ(args.size(), 8);
  EXPECT_EQ(QStringList({args[0].toString(), args[2].toString(), args[3].toString(), args[4].toString()}),
            QStringList({"Kovral", "kovral", "Warning", "The mouse is not connected."}));
  EXPECT_EQ(std::make_pair(args[1].toUInt(), args[7].toInt()), std::make_pair(0u, 3000)) << "replaces, time-out";
  notices.Show({L"Info", L"The mouse is connected.", 2000, BalloonIcon::Information});
  ASSERT_TRUE(Pump([&] { return fake.calls.size() == 2; }));
  EXPECT_EQ(fake.calls[1][1].toUInt(), 41u) << "the notice shown before is replaced";

  ASSERT_TRUE(server.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
  notices.Show({L"Info", L"Switch to key matrix 2", 2000, BalloonIcon::Information});
  ASSERT_TRUE(Pump([&] { return !fallbacks.empty(); }));
  EXPECT_EQ(fallbacks, std::vector<std::wstring>{L"Switch to key matrix 2"});
}

}  // namespace
}  // namespace kovral

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  kovral::InstallFontSubstitutesQt();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
