// Buttons and the control panel on the shared display: hit edges, polled click
// sequences, the picture drawn for each state and what drawing files; which
// click the panel reports.
#include "screens/button.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "composer_helpers.h"
#include "screens/control_panel.h"
#include "screens/scene_composer.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

constexpr uint16_t kNormal = 0xF800, kOver = 0x07E0, kPressed = 0xFFFF, kBack = 0x0841;
constexpr uint16_t kKey = 0x001F;                // pure blue on both 16-bit layouts
constexpr int kIn = 50, kOut = 200, kRow = 470;  // beside and on the menu button's row

// One polled update and what it must leave: the returned state and the flag.
struct Step {
  int x, y, bits, state, clicked;
};

class ButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SharedDisplay());
    Fill(backSurface, kBack);
    sceneComposer.SetBackground(nullptr);  // drops whatever earlier tests filed
  }
  // The game's "menu" button is at (6, 448) with three 88 x 57 pictures.
  static void AddThreeStates(Button& button, int width = 88, int height = 57) {
    const uint16_t pixels[] = {kNormal, kOver, kPressed};
    for (int i = 0; i < 3; ++i) button.AddStateImage(i, CreateTestSurface(width, height, pixels[i]));
  }
  static void Run(Button& button, std::initializer_list<Step> steps) {
    int index = 0;
    for (const Step& s : steps) {
      EXPECT_EQ(button.Feed(s.x, s.y, s.bits), s.state)
          << "step " << index << ": Feed(" << s.x << ", " << s.y << ", " << s.bits << ")";
      EXPECT_EQ(button.WasClicked(), s.clicked) << "step " << index++ << ": clicked";
    }
  }
};

TEST_F(ButtonTest, PolledHitLeavesRightAndBottomEdgesOutsideMessagesTakeThemIn) {
  const struct {
    int x, y, polled, message;
  } points[] = {{6, 448, 1, 1},  {93, 504, 1, 1}, {94, 470, 0, 1}, {50, 505, 0, 1},
                {95, 470, 0, 0}, {50, 506, 0, 0}, {5, 470, 0, 0},  {50, 447, 0, 0}};
  Button button(6, 448);
  AddThreeStates(button);
  for (const auto& p : points) {
    button.Feed(p.x, p.y, 0);
    EXPECT_EQ(button.IsMouseOver(), p.polled) << "Feed at (" << p.x << ", " << p.y << ")";
    button.HandleMouseMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(button.IsMouseOver(), p.message) << "WM_MOUSEMOVE at (" << p.x << ", " << p.y << ")";
  }
}

TEST_F(ButtonTest, PolledClicksCompleteOnReleaseOverAPressedButtonAndAreDrawnAtOnce) {
  Button button(6, 448);
  AddThreeStates(button);
  Run(button, {{kIn, kRow, 1, 2, 0}});
  EXPECT_EQ(PixelAt(backSurface, 93, 504), kPressed);
  Run(button, {{kIn, kRow, 0, 1, 1}, {kIn, kRow, 0, 1, 0}});  // the flag lasts one update
  EXPECT_EQ(PixelAt(backSurface, 93, 504), kOver);
  // Press, move off, release: cancelled. Press beside it, slide on held, release: a click.
  Run(button, {{kIn, kRow, 1, 2, 0}, {kOut, kRow, 1, 0, 0}, {kOut, kRow, 0, 0, 0}, {kIn, kRow, 0, 1, 0}});
  Run(button, {{kOut, kRow, 1, 0, 0}, {kIn, kRow, 1, 2, 0}, {kIn, kRow, 0, 1, 1}});
  // Disabled while pressed: it stays pressed, never clicks and is not redrawn.
  Run(button, {{kIn, kRow, 1, 2, 0}});
  button.SetEnabled(0);
  Fill(backSurface, kBack);
  Run(button, {{kIn, kRow, 0, 2, 0}, {kOut, kRow, 0, 2, 0}});
  EXPECT_EQ(button.HandleMouseMessage(WM_LBUTTONUP, 0, MAKELPARAM(kIn, kRow)), 2);
  button.Redraw();
  EXPECT_EQ(PixelAt(backSurface, kIn, kRow), kBack);
  button.SetEnabled(1);
  button.SetFrameOffset(-1);
  EXPECT_EQ(PixelAt(backSurface, kIn, kRow), kOver) << "a new offset is drawn at once";
}

TEST_F(ButtonTest, DrawToPicksThePictureByStateOffsetSingleAndForcedFrame) {
  const struct {
    int state, offset, single, forced;
    uint16_t shown;
  } cases[] = {
      {0, 0, 0, -1, kNormal},  {1, 0, 0, -1, kOver},    {2, 0, 0, -1, kPressed}, {0, 1, 0, -1, kOver},
      {1, 1, 0, -1, kPressed}, {2, 1, 0, -1, kPressed}, {2, 0, 1, -1, kNormal},  {0, 0, 0, 2, kPressed},
      {2, 1, 0, 0, kPressed},  // overflowing state + offset wins over the forced frame
      {0, 0, 0, 5, kBack},     // a forced frame beyond the pictures draws nothing
  };
  LPDIRECTDRAWSURFACE target = CreateTestSurface(100, 100, kBack);
  Button button(10, 20);
  button.SetOrigin(5, 5);  // drawn at (15, 25) to (45, 45)
  AddThreeStates(button, 30, 20);
  for (const auto& c : cases) {
    Fill(target, kBack);
    button.SetState(c.state);
    button.SetFrameOffset(c.offset);
    button.SetSingleImage(c.single);
    button.SetForcedFrame(c.forced);
    button.DrawTo(target);
    SCOPED_TRACE(testing::Message() << "state " << c.state << " offset " << c.offset << " single " << c.single
                                    << " forced " << c.forced);
    EXPECT_EQ(RegionMismatch(target, 15, 25, 30, 20, c.shown), "");
    EXPECT_EQ(CountPixels(target, kBack), c.shown == kBack ? 100 * 100 : 100 * 100 - 30 * 20) << "nothing else";
  }
  // Keyed pixels are skipped; the rectangle is filed only when tracking.
  button.SetForcedFrame(0);
  SetPixel(button.GetImageSurface(0), 3, 4, kKey);
  button.DrawTo(target);
  EXPECT_EQ(PixelAt(target, 18, 29), kBack) << "keyed pixel";
  EXPECT_EQ(PendingRequests(sceneComposer), "");
  button.SetDirtyTracking(1);
  button.DrawTo(target);
  EXPECT_EQ(PendingRequests(sceneComposer), "15,25 30x20 1001");
  target->Release();
}

TEST_F(ButtonTest, LoadStatesCutsSideBySideOrStackedPicturesAndOnlyExactCounts) {
  ScratchFolder folder;
  const std::string wide = folder.File("menu.bmp"), tall = folder.File("tall.bmp");
  const Rgb colours[] = {kBmpRed, kBmpGreen, kBmpWhite};
  ASSERT_TRUE(WriteBmp24(wide, 264, 57, [&](int x, int y) { return x == 10 && y == 10 ? kBmpBlue : colours[x / 88]; }));
  ASSERT_TRUE(WriteBmp24(tall, 20, 30, [&](int, int y) { return colours[y / 10]; }));
  Button button(6, 448), stacked(0, 0);
  button.LoadStates(wide.c_str(), 3, 0);
  stacked.LoadStates(tall.c_str(), 3, 1);
  std::vector<int> seen = {button.GetImageCount(), button.GetWidth(), stacked.GetImageCount(), stacked.GetHeight()};
  for (int i = 0; i < 3; ++i)
    seen.insert(seen.end(), {PixelAt(button.GetImageSurface(i), 87, 56), PixelAt(stacked.GetImageSurface(i), 0, 0)});
  ASSERT_EQ(seen, (std::vector<int>{3, 88, 3, 10, kNormal, kNormal, kOver, kOver, kPressed, kPressed}))
      << "count and size of each, then a pixel of each picture";
  button.Draw(nullptr);
  EXPECT_EQ(PixelAt(backSurface, 16, 458), kBack) << "pure blue of the file is transparent";
  // Counts that do not cut the file exactly, and missing files, change nothing.
  stacked.LoadStates(tall.c_str(), 8, 0);  // 2-pixel states: ten of them
  stacked.LoadStates(wide.c_str(), 0, 0);
  stacked.LoadStates(folder.File("missing.bmp").c_str(), 3, 0);
  EXPECT_EQ(stacked.AddStateImageFromFile(1, folder.File("missing.bmp").c_str()), 0);
  EXPECT_EQ(std::pair(stacked.GetImageCount(), stacked.GetWidth()), std::pair(3, 20));
}

// Only the first clicked button in list order is reported, and only by its
// exact name; the panel's origin moves every button; disabled ones are not drawn.
TEST_F(ButtonTest, ThePanelReportsTheFirstClickedButtonByItsExactName) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(40, 20, kNormal);
  picture->AddRef();
  auto* panel = new ControlPanel();
  Button* buttons[4] = {};
  const std::pair<const char*, int> made[] = {{"menu", 0}, {"over", 10}, {"exit", 100}, {"exit", 200}};
  for (int i = 0; i < 4; ++i) {
    buttons[i] = new Button(made[i].second, 0);
    buttons[i]->AddStateImage(0, i == 0 ? picture : CreateTestSurface(40, 20, kNormal));
    buttons[i]->SetName(made[i].first);
    panel->Add(buttons[i]);
  }
  panel->Add(nullptr);
  EXPECT_EQ(panel->GetButtonCount(), 4);
  panel->SetOrigin(100, 400);
  for (int bits : {1, 0}) panel->Feed(15, 405, bits);
  EXPECT_EQ(panel->ClickedButton(), nullptr) << "the old place";
  for (int bits : {1, 0}) panel->Feed(115, 405, bits);
  EXPECT_EQ(buttons[1]->WasClicked(), 1) << "both were clicked by the same release";
  EXPECT_EQ(panel->ClickedButton(), buttons[0]);
  for (const char* name : {"menu", "over", "Menu", "exit"})
    EXPECT_EQ(panel->WasClicked(name), std::string(name) == "menu" ? 1 : 0) << name;
  EXPECT_EQ(panel->Find("exit"), buttons[2]) << "the first of that name";
  panel->Feed(115, 405, 0);
  EXPECT_EQ(panel->ClickedButton(), nullptr) << "the click lasts one update";
  buttons[3]->SetEnabled(0);
  Fill(backSurface, kBack);
  panel->Redraw();
  EXPECT_EQ(PixelAt(backSurface, 100, 400), kNormal);
  EXPECT_EQ(PixelAt(backSurface, 300, 400), kBack) << "disabled button";
  delete panel;
  EXPECT_EQ(picture->Release(), 0u) << "the panel destroyed its buttons and their pictures";
}

}  // namespace
