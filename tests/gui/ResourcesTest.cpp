// The program's resources: the icons and the dialog picture are real pictures of their
// sizes, the alert sounds are short 16-bit PCM WAV files, the help page exists, and the
// seam's icons fall back as they should.
#include <wx/image.h>

#include <cstdint>
#include <fstream>

#include "gui/HelpViewer.h"
#include "gui/Resources.h"
#include "tests/gui/GuiTest.h"

namespace {

struct WavInfo {
    int format = 0, channels = 0, bits = 0;
    uint32_t rate = 0, dataBytes = 0;
};

WavInfo ReadWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavInfo info;
    auto u16 = [&](size_t at) {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8;
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return info;
    }
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = u32(at + 4);
        if (id == "fmt ") {
            info.format = int(u16(at + 8));
            info.channels = int(u16(at + 10));
            info.rate = u32(at + 12);
            info.bits = int(u16(at + 22));
        } else if (id == "data") {
            info.dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    return info;
}

}  // namespace

TEST(Resources, IconsAreRealPicturesOfTheirSizes) {
    for (int id : {128, 370, 371, 373, 395, 402, 574, 390, 391}) {
        wxImage image;
        ASSERT_TRUE(image.LoadFile(ResourcePath("icons/" + std::to_string(id) + ".png"))) << id;
        const int size = (id == 390 || id == 391) ? 16 : 32;
        EXPECT_EQ(image.GetWidth(), size) << id;
        EXPECT_EQ(image.GetHeight(), size) << id;
        ASSERT_TRUE(image.HasAlpha()) << id;
        int opaque = 0, clear = 0;
        for (int i = 0; i < size * size; ++i) {
            opaque += image.GetAlpha()[i] == 255;
            clear += image.GetAlpha()[i] == 0;
        }
        EXPECT_GT(opaque, size * size / 20) << id;  // something is drawn
        EXPECT_GT(clear, 0) << id;                  // on a transparent ground
    }
}

TEST(Resources, TheMarksHaveTheirColours) {
    // The tick is blue, the cross red, the triangle yellow, the question mark green: the
    // most opaque pixels' dominant channel tells.
    auto dominant = [](int id) {
        wxImage image(ResourcePath("icons/" + std::to_string(id) + ".png"));
        long r = 0, g = 0, b = 0;
        for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i) {
            if (image.GetAlpha()[i] < 250)
                continue;
            r += image.GetData()[3 * i];
            g += image.GetData()[3 * i + 1];
            b += image.GetData()[3 * i + 2];
        }
        if (r > g && g > b && g > r / 2)
            return 'y';
        if (b > r && b > g)
            return 'b';
        if (r > g && r > b)
            return 'r';
        return g > r && g > b ? 'g' : '?';
    };
    const std::pair<int, char> marks[] = {{370, 'b'}, {390, 'b'}, {371, 'r'}, {391, 'r'},
                                          {395, 'y'}, {402, 'y'}, {574, 'g'}};
    for (const auto& [id, colour] : marks) EXPECT_EQ(dominant(id), colour) << id;
}

TEST(Resources, TheDialogPictureIsTheNameOnGold) {
    wxBitmap picture = ResourceBitmap(519);
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(picture.GetWidth(), 198);
    EXPECT_EQ(picture.GetHeight(), 579);
    wxImage image = picture.ConvertToImage();
    EXPECT_GT(DistinctColours(image), 50u);
    // Gold in the middle of the strip's edge area: red above green above blue.
    const unsigned char* p = image.GetData() + 3 * (10 * 198 + 99);
    EXPECT_GT(p[0], p[1]);
    EXPECT_GT(p[1], p[2]);
    EXPECT_GT(p[0], 150);
}

TEST(Resources, AlertSoundsAreShortPcmWaves) {
    for (const char* name : {"clm", "zaaz", "rml"}) {
        const WavInfo wav = ReadWav(ResourcePath(std::string("sounds/") + name + ".wav"));
        EXPECT_EQ(wav.format, 1) << name;
        EXPECT_EQ(wav.bits, 16) << name;
        EXPECT_EQ(wav.channels, 1) << name;
        ASSERT_GT(wav.rate, 0u) << name;
        const double seconds = double(wav.dataBytes) / (wav.rate * 2);
        EXPECT_GE(seconds, 0.5) << name;
        EXPECT_LE(seconds, 1.0) << name;
    }
}

TEST(Resources, TheChangedFilesHelpPageExists) {
    const std::string page = HelpPagePath("filechanges");
    ASSERT_FALSE(page.empty());
    std::ifstream in(page);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Changed file details."), std::string::npos);
    EXPECT_NE(text.find("File restore from backup."), std::string::npos);
    EXPECT_TRUE(HelpPagePath("no-such-topic").empty());
}

TEST(Resources, IconsOfTheSeam) {
    EXPECT_FALSE(IconBitmap(Icon(), 32).IsOk());
    const wxBitmap page = IconBitmap(Icon::Resource(373), 32);
    ASSERT_TRUE(page.IsOk());
    EXPECT_EQ(page.GetSize(), wxSize(32, 32));
    EXPECT_EQ(IconBitmap(Icon::Resource(370), 16).GetSize(), wxSize(16, 16));

    Icon themed;
    themed.themeName = "text-x-generic";
    const wxBitmap text = IconBitmap(themed, 32);
    ASSERT_TRUE(text.IsOk());
    EXPECT_EQ(text.GetSize(), wxSize(32, 32));
    EXPECT_FALSE(SamePicture(text, page));

    Icon unknown;
    unknown.themeName = "no-such-icon-anywhere";
    EXPECT_TRUE(SamePicture(IconBitmap(unknown, 32), page));

    Icon program;
    program.file = "C:\\Program Files\\Quillstead\\quillstead.exe";
    const wxBitmap executable = IconBitmap(program, 32);
    ASSERT_TRUE(executable.IsOk());
    Icon executableTheme;
    executableTheme.themeName = "application-x-executable";
    EXPECT_TRUE(SamePicture(executable, IconBitmap(executableTheme, 32)));
}
