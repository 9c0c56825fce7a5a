// The windows at every display density: designed at 96 dots per inch, scaled by DPI / 96.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/about_window.h"
#include "app/progress_window.h"
#include "harness.h"
#include "platform/display.h"
#include "platform/ellipsis.h"

using platform::Rect;
using platform::Size;
using platform::scaled;
using test::Harness;
using test::user;

namespace {

const int densities[] = {96, 120, 144, 192};

struct Rounding {
    int design, dpi, expected;
};

TEST(Scaled, RoundsAsMulDivDoes)
{
    // Halves go away from zero; everything else to the nearest pixel.
    const Rounding cases[] = {
        {8, 96, 8},     {8, 120, 10},  {34, 144, 51},   {1, 144, 2},       {3, 144, 5},      {5, 120, 6},
        {13, 120, 16},  {11, 144, 17}, {13, 144, 20},   {194, 120, 243},   {753, 144, 1130}, {753, 120, 941},
        {-3, 144, -5},  {-5, 120, -6}, {0, 192, 0},     {58, 120, 73},     {11, 168, 19},    {648, 192, 1296},
        {2000000, 192, 4000000},
    };
    for (const Rounding& c : cases)
        EXPECT_EQ(scaled(c.design, c.dpi), c.expected) << c.design << " at " << c.dpi;
    EXPECT_EQ(scaled(Rect{8, 194, 303, 17}, 120), (Rect{10, 243, 379, 21}));
    EXPECT_EQ(scaled(Size{648, 520}, 144), (Size{972, 780}));
}

// Controls of every parent and kind, with their designed bounds.
struct Placed {
    const char* name;
    platform::Control& (*control)(TFrmMain&);
    Rect design;
};

const Placed inventory[] = {
    {"gb_name", [](TFrmMain& f) -> platform::Control& { return f.gb_name; }, {8, 6, 614, 115}},
    {"gb_output", [](TFrmMain& f) -> platform::Control& { return f.gb_output; }, {234, 123, 388, 68}},
    {"gb_attributes", [](TFrmMain& f) -> platform::Control& { return f.gb_attributes; }, {131, 123, 97, 68}},
    {"edtRearside", [](TFrmMain& f) -> platform::Control& { return f.edtRearside; }, {86, 13, 114, 21}},
    {"cbPos", [](TFrmMain& f) -> platform::Control& { return f.cbPos; }, {123, 13, 80, 21}},
    {"rgIncDec", [](TFrmMain& f) -> platform::Control& { return f.rgIncDec; }, {446, 10, 160, 48}},
    {"Label3", [](TFrmMain& f) -> platform::Control& { return f.Label3; }, {72, 19, 12, 13}},
    {"cbHidden", [](TFrmMain& f) -> platform::Control& { return f.cbHidden; }, {8, 40, 68, 20}},
    {"lbpath", [](TFrmMain& f) -> platform::Control& { return f.lbpath; }, {12, 42, 365, 13}},
    {"lb_new", [](TFrmMain& f) -> platform::Control& { return f.lb_new; }, {218, 20, 97, 16}},
    {"cbshowpathR", [](TFrmMain& f) -> platform::Control& { return f.cbshowpathR; }, {10, 20, 90, 17}},
    {"Button1", [](TFrmMain& f) -> platform::Control& { return f.Button1; }, {114, 14, 92, 25}},
};

void expectDesignedPlaces(TFrmMain& form, int dpi)
{
    for (const Placed& p : inventory)
        EXPECT_EQ(p.control(form).bounds(), scaled(p.design, dpi)) << p.name << " at " << dpi;
    auto& about = *form.frmAbout;
    EXPECT_EQ(about.Label5.bounds(), scaled(Rect{39, 48, 169, 17}, dpi));
    EXPECT_EQ(about.lb_company.bounds(), scaled(Rect{120, 112, 116, 13}, dpi));
    EXPECT_EQ(user(about.lb_sw).font.pixels, scaled(13, dpi));
    EXPECT_EQ(user(about.lb_web).font.pixels, scaled(13, dpi));
    EXPECT_TRUE(user(about.lb_web).font.underline);
    EXPECT_EQ(user(about.lb_company).font.pixels, scaled(11, dpi));
    EXPECT_TRUE(user(about.lb_company).font.bold);
    EXPECT_EQ(about.peer().clientSize(), scaled(Size{242, 142}, dpi));
    EXPECT_EQ(form.frmProgress->btnStop.bounds(), scaled(Rect{142, 104, 75, 25}, dpi));
    EXPECT_EQ(form.frmProgress->peer().clientSize(), scaled(Size{360, 140}, dpi));
}

TEST(Density, EveryControlStartsAtItsDesignedPlaceScaled)
{
    for (int dpi : densities) {
        Harness h(dpi);
        expectDesignedPlaces(h.form, dpi);
        EXPECT_EQ(h.window().outerSize(), scaled(TFrmMain::startSize, dpi));
    }
    // At 96 dots per inch the designed numbers themselves.
    Harness h;
    EXPECT_EQ(h.form.rgIncDec.bounds(), (Rect{446, 10, 160, 48}));
    EXPECT_EQ(h.form.frmAbout->peer().clientSize(), (Size{242, 142}));
    EXPECT_EQ(h.window().outerSize(), (Size{648, 753}));
}

TEST(Density, StartSizesOfTheMainWindow)
{
    const std::pair<int, Size> cases[] = {
        {96, {648, 753}}, {120, {810, 941}}, {144, {972, 1130}}, {192, {1296, 1506}}};
    for (const auto& [dpi, outer] : cases)
        EXPECT_EQ(Harness(dpi).window().outerSize(), outer) << dpi;
}

struct DensityLayout {
    int dpi;
    Size client;
    int areaWidth, newLeft, viewWidth, areaHeight, viewHeight;
};

class LayoutAtDensity : public testing::TestWithParam<DensityLayout> {};

TEST_P(LayoutAtDensity, ListAreasShareTheWidthAtEveryDensity)
{
    const DensityLayout& c = GetParam();
    Harness h(c.dpi);
    h.window().setClientSize(c.client);
    auto& f = h.form;
    const auto s = [&](int v) { return scaled(v, c.dpi); };
    EXPECT_EQ(f.gb_old.bounds(), (Rect{s(8), s(194), c.areaWidth, c.areaHeight}));
    EXPECT_EQ(f.gb_new.bounds(), (Rect{c.newLeft, s(194), c.areaWidth, c.areaHeight}));
    EXPECT_EQ(f.mmOriginal.bounds(), (Rect{s(10), s(44), c.viewWidth, c.viewHeight}));
    EXPECT_EQ(f.mmRenamed.bounds(), f.mmOriginal.bounds());
    EXPECT_EQ(f.cbshowpathR.bounds().left, s(10));
    // The meaning of the rule: equal areas, the gap and margins of the design, to a pixel.
    const Rect o = f.gb_old.bounds(), n = f.gb_new.bounds();
    EXPECT_EQ(o.width, n.width);
    EXPECT_LE(std::abs(n.left - (o.left + o.width) - s(16)), 1);
    const int rightMargin = c.client.width - (n.left + n.width);
    EXPECT_GE(rightMargin, s(10) - 1);
    EXPECT_LE(rightMargin, s(10) + 2);
    EXPECT_LE(std::abs(c.client.height - (o.top + o.height) - s(6)), 1);
    // The option panel keeps its designed place.
    EXPECT_EQ(f.gb_name.bounds(), scaled(Rect{8, 6, 614, 115}, c.dpi));
}

INSTANTIATE_TEST_SUITE_P(Densities, LayoutAtDensity,
                         testing::Values(DensityLayout{96, {640, 700}, 303, 327, 283, 500, 442},
                                         DensityLayout{96, {641, 700}, 303, 327, 283, 500, 442},
                                         DensityLayout{120, {800, 700}, 378, 408, 353, 450, 377},
                                         DensityLayout{120, {801, 701}, 379, 409, 354, 451, 378},
                                         DensityLayout{144, {1200, 900}, 574, 610, 544, 600, 513},
                                         DensityLayout{144, {962, 1000}, 455, 491, 425, 700, 613},
                                         DensityLayout{192, {1296, 1400}, 614, 662, 574, 1000, 884}),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "_" + std::to_string(info.index); });

TEST(Density, TheSmallestSizeIsTheDesignedOneScaled)
{
    const std::pair<int, Size> cases[] = {{96, {648, 520}}, {120, {810, 650}}, {144, {972, 780}}, {192, {1296, 1040}}};
    for (const auto& [dpi, smallest] : cases) {
        Harness h(dpi);
        h.window().userResize({100, 100});
        EXPECT_EQ(h.window().outerSize(), smallest) << dpi;
        h.window().userResize({smallest.width + 1, 100});
        EXPECT_EQ(h.window().outerSize(), (Size{smallest.width + 1, smallest.height})) << dpi;
        const Size client = h.window().clientSize();
        EXPECT_EQ(h.form.gb_old.bounds().width, layout::listAreaWidth(client.width, dpi));
        EXPECT_EQ(h.form.mmRenamed.bounds().height, layout::listAreaHeight(client.height, dpi) - scaled(58, dpi));
    }
}

TEST(Density, OnAScreenSmallerThanTheSmallestSizeTheWindowFitsTheScreen)
{
    Harness h(192);
    h.window().screenWorkArea = {1280, 1024};
    h.window().userResize({100, 100});
    EXPECT_EQ(h.window().outerSize(), (Size{1280, 1024}));
    const Size client = h.window().clientSize();
    EXPECT_EQ(h.form.gb_new.bounds().width, layout::listAreaWidth(client.width, 192));
    EXPECT_EQ(h.form.mmOriginal.bounds().height, layout::listAreaHeight(client.height, 192) - scaled(58, 192));
    h.window().userResize({1300, 1100});
    EXPECT_EQ(h.window().outerSize(), (Size{1300, 1100}));
}

TEST(Density, MovingToAnotherDisplayLaysTheWindowOutAgain)
{
    Harness h;
    h.form.gb_output.setWidth(5);  // whatever the window was, it goes back to the design
    for (int dpi : {144, 120, 192, 96}) {
        const Size suggested = scaled(Size{700, 760}, dpi);
        h.window().moveToDisplay(dpi, suggested);
        auto& about = static_cast<test::HeadlessForm&>(h.form.frmAbout->peer());
        about.moveToDisplay(dpi, {1, 1});
        static_cast<test::HeadlessForm&>(h.form.frmProgress->peer()).moveToDisplay(dpi, {1, 1});
        EXPECT_EQ(h.window().outerSize(), suggested) << dpi;
        expectDesignedPlaces(h.form, dpi);
        EXPECT_EQ(user(h.form.cbNewname).font.pixels, scaled(11, dpi));
        const Size client = h.window().clientSize();
        EXPECT_EQ(h.form.gb_new.bounds().width, layout::listAreaWidth(client.width, dpi));
        EXPECT_EQ(h.form.gb_new.bounds().left, layout::listAreaWidth(client.width, dpi) + scaled(24, dpi));
        EXPECT_EQ(h.form.mmOriginal.bounds().height, layout::listAreaHeight(client.height, dpi) - scaled(58, dpi));
    }
    // Back at 96 dots per inch, exactly the designed window at that size.
    EXPECT_EQ(h.form.gb_output.bounds(), (Rect{234, 123, 388, 68}));
    EXPECT_EQ(h.form.gb_old.bounds(), (Rect{8, 194, (700 - 8 - 34) / 2, 760 - 53 - 200}));
}

TEST(Density, ASuggestedSizeBelowTheSmallestIsRaisedToIt)
{
    Harness h;
    h.window().moveToDisplay(144, {700, 600});
    EXPECT_EQ(h.window().outerSize(), (Size{972, 780}));
}

struct Overrun {
    int text, lastCharacter, width;
    bool shortened;
};

TEST(Label, AScaledCaptionAPixelTooWideIsCutNotShortened)
{
    const Overrun cases[] = {
        {12, 6, 12, false},   // fits exactly, as ">>" at 96 dpi
        {16, 8, 15, false},   // ">>" at 120 dpi: a pixel of its last ">" cut
        {17, 8, 15, false},   // a quarter of it
        {18, 8, 15, true},    // more than a quarter: "…"
        {400, 11, 365, true}, // a long folder
        {0, 0, 0, false},
        {5, 0, 4, true},      // nothing of a last character to lose, and still too wide
    };
    for (const Overrun& c : cases)
        EXPECT_EQ(platform::shortened(c.text, c.lastCharacter, c.width), c.shortened)
            << c.text << " on " << c.width;
}

struct Placement {
    const char* what;
    Size outer;
    Rect monitor, work, expected;
};

TEST(StartPlace, CentredOnTheMonitorAndInsideTheWorkArea)
{
    const Rect screen{0, 0, 1280, 1024}, belowTaskbar{0, 0, 1280, 994};
    const Placement cases[] = {
        {"fits: centred on the monitor as ever", {648, 753}, screen, belowTaskbar, {316, 135, 648, 753}},
        {"fits the whole screen", {648, 753}, screen, screen, {316, 135, 648, 753}},
        {"too high: the work area's height", {972, 1130}, screen, belowTaskbar, {154, 0, 972, 994}},
        {"too high, no taskbar", {972, 1130}, screen, screen, {154, 0, 972, 1024}},
        {"taskbar on top", {600, 1000}, screen, {0, 40, 1280, 984}, {340, 40, 600, 984}},
        {"taskbar on the left, too wide", {1296, 900}, screen, {60, 0, 1220, 1024}, {60, 62, 1220, 900}},
        {"centred would overlap the taskbar", {600, 750}, {0, 0, 1280, 800}, {0, 0, 1280, 760}, {340, 10, 600, 750}},
        {"second monitor", {972, 1130}, {1280, 0, 1920, 1080}, {1280, 0, 1920, 1080}, {1754, 0, 972, 1080}},
        {"monitor left of the primary", {648, 753}, {-1024, 0, 1024, 768}, {-1024, 0, 1024, 738}, {-836, 0, 648, 738}},
    };
    for (const Placement& c : cases) {
        const Rect r = platform::startPlace(c.outer, c.monitor, c.work);
        EXPECT_EQ(r, c.expected) << c.what;
        EXPECT_GE(r.left, c.work.left) << c.what;
        EXPECT_GE(r.top, c.work.top) << c.what;
        EXPECT_LE(r.left + r.width, c.work.left + c.work.width) << c.what;
        EXPECT_LE(r.top + r.height, c.work.top + c.work.height) << c.what;
    }
}

}  // namespace
