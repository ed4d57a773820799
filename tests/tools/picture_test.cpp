// Pictures as a person sees them: rendered by librsvg's rsvg-convert to PNG, then looked at
// pixel by pixel.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "tools/host/hostDocument.h"
#include "tools/view/viewColourMap.h"
#include "tools/view/viewPlot.h"

namespace {

struct Image {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;

    viewColour at(double x, double y) const {
        const auto i =
            (static_cast<std::size_t>(std::lround(y)) * width + static_cast<std::size_t>(std::lround(x))) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
    // Pixels that are not white.
    std::size_t inked(double x0, double y0, double x1, double y1) const {
        std::size_t count = 0;
        for (auto y = static_cast<unsigned>(y0); y < static_cast<unsigned>(y1) && y < height; ++y)
            for (auto x = static_cast<unsigned>(x0); x < static_cast<unsigned>(x1) && x < width; ++x) {
                const viewColour c = at(x, y);
                count += c.r < 200 || c.g < 200 || c.b < 200;
            }
        return count;
    }
};

bool haveRenderer() {
    return std::system("command -v rsvg-convert >/dev/null 2>&1") == 0;
}

// The SVG rendered at its own size; false when the renderer refuses it.
bool render(const std::string& svg, const std::string& name, Image& image) {
    // The process id keeps runs of two builds side by side from sharing files.
    const std::string base = ::testing::TempDir() + name + "_" + std::to_string(::getpid());
    std::ofstream(base + ".svg") << svg;
    const std::string command = "rsvg-convert -b white -o '" + base + ".png' '" + base + ".svg'";
    if (std::system(command.c_str()) != 0) return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, (base + ".png").c_str())) return false;
    png.format = PNG_FORMAT_RGBA;
    image.width = png.width;
    image.height = png.height;
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) != 0;
}

// Colours within a few steps of each other per channel.
::testing::AssertionResult near(const viewColour& seen, const viewColour& expected, int slack = 12) {
    if (std::abs(seen.r - expected.r) <= slack && std::abs(seen.g - expected.g) <= slack &&
        std::abs(seen.b - expected.b) <= slack)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "seen " << seen.hex() << ", expected " << expected.hex();
}

// A pressure over `corners` in the x-z plane rising from 0 Pa at the origin by `perX` Pa per 10 m
// along x and `perZ` Pa per 5 m along z.
hostLoad field(List<pos3d> corners, double perX, double perZ) {
    using Pressure = laPressure<double>;
    auto f = mfCreate<laIntensityThreePointVarying<Pressure>>(pos3d(0, 0, 0), Pressure(0), pos3d(10, 0, 0),
                                                              Pressure(perX), pos3d(0, 0, 5), Pressure(perZ));
    f->positionSystem = lcLoad::global;
    hostLoad load;
    load.name = "ramp & <test>";
    load.footprint.reset(mfCreate<laFootprintPolygon>(corners));
    load.intensity.reset(f);
    return load;
}

// Where a text stands in the picture, from the top.
double textY(const std::string& svg, const std::string& text) {
    const std::size_t at = svg.find(">" + text + "</text>");
    return at == std::string::npos ? NAN : std::stod(svg.substr(svg.rfind(" y=\"", at) + 4));
}

TEST(ViewPicture, AKnownFieldIsDrawnHighWhereHighAndLowWhereLow) {
    if (!haveRenderer()) GTEST_SKIP() << "rsvg-convert is not installed";
    const long start = mfProgram::program().defaultStrategy().live();
    {
        viewPicture picture;
        std::string error;
        // A 10 m by 5 m wall whose pressure rises from 0 Pa at x = 0 to 1000 Pa at x = 10.
        const hostLoad ramp = field(List<pos3d>{{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}}, 1000, 0);
        ASSERT_TRUE(viewPlot(ramp, picture, error)) << error;
        EXPECT_EQ(picture.low, 0);
        EXPECT_EQ(picture.high, 1000);
        Image image;
        ASSERT_TRUE(render(picture.svg, "ramp", image));
        ASSERT_EQ(image.width, picture.width);
        ASSERT_EQ(image.height, picture.height);
        // Not blank.
        EXPECT_GT(image.inked(0, 0, image.width, image.height), image.width * image.height / 10);
        // The field: dark purple at the low end, yellow at the high end, green-blue in the middle.
        double x = 0, y = 0;
        ASSERT_TRUE(picture.locate(pos3d(0.3, 0, 2.5), x, y));
        EXPECT_TRUE(near(image.at(x, y), viewViridis(0.03)));
        ASSERT_TRUE(picture.locate(pos3d(9.7, 0, 2.5), x, y));
        EXPECT_TRUE(near(image.at(x, y), viewViridis(0.97)));
        ASSERT_TRUE(picture.locate(pos3d(5, 0, 4), x, y));
        EXPECT_TRUE(near(image.at(x, y), viewViridis(0.5)));
        // Outside the footprint nothing is drawn.
        ASSERT_FALSE(picture.locate(pos3d(10.3, 0, 2.5), x, y));
        EXPECT_TRUE(near(image.at(x, y), {255, 255, 255}, 0));
        // The colour bar: yellow at its top, purple at its bottom, labels beside it.
        ASSERT_TRUE(picture.colourBar);
        const auto& bar = *picture.colourBar;
        EXPECT_TRUE(near(image.at(bar.x + bar.width / 2, bar.y + 3), viewViridis(1)));
        EXPECT_TRUE(near(image.at(bar.x + bar.width / 2, bar.y + bar.height - 3), viewViridis(0)));
        EXPECT_GT(image.inked(bar.x + bar.width + 6, bar.y, bar.x + bar.width + 60, bar.y + bar.height), 100u);
        EXPECT_LT(textY(picture.svg, "1000"), textY(picture.svg, "200"));
        EXPECT_NE(picture.svg.find(">pressure [Pa]</text>"), std::string::npos);
        // The title: the name, escaped, in the band at the top, which holds dark text.
        EXPECT_NE(picture.svg.find(">ramp &amp; &lt;test&gt;</text>"), std::string::npos);
        EXPECT_GT(image.inked(0, 0, picture.title.width, picture.title.height), 200u);
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

// What a picture tells in numbers and words: its scale spans what lies on the footprint, its
// texts name the limit, the parts of a value and the components drawn.
TEST(ViewPicture, ScaleAndTextsFollowTheLoad) {
    viewPicture picture;
    std::string error;
    // 100 Pa/m along x and 200 Pa/m along z: 1000 Pa at the triangle's far corners, twice that at
    // the corner its bounding box adds.
    ASSERT_TRUE(viewPlot(field(List<pos3d>{{0, 0, 0}, {10, 0, 0}, {0, 0, 5}}, 1000, 1000), picture, error));
    EXPECT_EQ(picture.low, 0);
    EXPECT_EQ(picture.high, 1000);
    // The wind's limit function caps it at 1000 Pa; one value everywhere gets a tenth of it above and
    // below; a point has no scale; a line's spans its values and zero.
    struct Case {
        const char* name;
        double low, high;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"wind on facade",
         600,
         1000,
         {"limited to the range from 0 Pa (inclusive) up to 1000 Pa (inclusive)", "limited pressure [Pa]"}},
        {"tank wall", 22500, 27500, {"one value everywhere:", "25000 Pa"}},
        {"column head", 0, 0, {"(fx, fy, fz) = (0, 0, -120000) N", "(mx, my, mz) = (0, 15000, 0) N.m"}},
        {"crane rail", -18000, 0, {"fz [N/m]"}},
    };
    const List<hostLoad> loads = hostExampleLoads();
    for (const Case& c : cases) {
        const auto load = std::find_if(loads.begin(), loads.end(), [&](const hostLoad& l) { return l.name == c.name; });
        ASSERT_TRUE(viewPlot(*load, picture, error)) << error;
        EXPECT_EQ(picture.low, c.low) << c.name;
        EXPECT_EQ(picture.high, c.high) << c.name;
        for (const std::string& text : c.texts)
            EXPECT_NE(picture.svg.find(">" + text + "</text>"), std::string::npos) << c.name << ": " << text;
        // Only components that are not zero along the line are drawn.
        EXPECT_EQ(picture.svg.find(">fx [N/m]</text>"), std::string::npos) << c.name;
    }
}

TEST(ViewPicture, EveryExampleLoadWithAFootprintRenders) {
    if (!haveRenderer()) GTEST_SKIP() << "rsvg-convert is not installed";
    for (const hostLoad& load : hostExampleLoads()) {
        viewPicture picture;
        std::string error;
        if (!load.footprint) continue;
        ASSERT_TRUE(viewPlot(load, picture, error)) << load.name << ": " << error;
        Image image;
        ASSERT_TRUE(render(picture.svg, "example", image)) << load.name;
        EXPECT_GT(image.inked(0, picture.title.height, image.width, image.height), 2000u) << load.name;
        EXPECT_GT(image.inked(0, 0, picture.title.width, picture.title.height), 200u) << load.name;
        // Where the load acts is drawn: the footprint's first defining point carries ink nearby.
        List<pos3d> points;
        load.footprint->getPoints(points);
        double x = 0, y = 0;
        if (picture.locate(points.front(), x, y)) {
            EXPECT_GT(image.inked(x - 6, y - 6, x + 6, y + 6), 10u) << load.name;
        }
    }
}

}  // namespace
