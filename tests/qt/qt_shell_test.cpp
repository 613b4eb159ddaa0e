// The Qt shell's own pieces, on Qt's offscreen platform: what they draw and
// show is checked by pixels and by the widgets they make.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <functional>
#include <string>

#include "app/sim_channel_qt.h"
#include "app/single_instance_qt.h"
#include "app/tray_qt.h"
#include "app/tray_rules.h"
#include "device/clock.h"
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
